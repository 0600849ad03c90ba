#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ConvertFixture.h"
#include "DecodingModel.h"

namespace velkor::testing {
namespace {

class RoundTrip : public ConvertTest {};

TEST_F(RoundTrip, AnyFileSurvivesEncodeAndDecode) {
    const std::vector<std::size_t> sizes = {2,    3,     5,     9,     10,     24,     25,
                                            26,   49,    50,    51,    1023,   1024,   1025,
                                            4096, 65535, 65536, 65537, 131071, 200000, 1000001};
    std::uint32_t seed = 1;
    for (const std::size_t size : sizes) {
        for (const auto& [lowest, highest] : {std::pair{0, 255}, {234, 255}, {0, 25}, {100, 130}}) {
            SCOPED_TRACE(std::to_string(size) + " " + std::to_string(lowest));
            const std::string bytes = RandomBytes(size, ++seed, lowest, highest);
            dir.Write("in", bytes);
            ASSERT_EQ(Convert("in", "txt"), ConversionOutcome::Succeeded);
            ASSERT_EQ(Convert("txt", "back"), ConversionOutcome::Succeeded);
            ASSERT_EQ(dir.Read("back"), bytes);
        }
    }
    dir.Write("in", "\xc8");
    ASSERT_EQ(Convert("in", "txt"), ConversionOutcome::Succeeded);
    ASSERT_EQ(Convert("txt", "back"), ConversionOutcome::Succeeded);
    EXPECT_EQ(dir.Read("back"), "\xc8");
}

TEST_F(RoundTrip, GroupLinesHaveTheirFixedLayout) {
    const std::string text = Encode(RandomBytes(30000, 11));
    std::size_t lineStart = 0;
    std::vector<std::string> lines;
    while (lineStart < text.size()) {
        const std::size_t end = text.find("\r\n", lineStart);
        ASSERT_NE(end, std::string::npos);
        lines.push_back(text.substr(lineStart, end - lineStart));
        lineStart = end + 2;
    }
    ASSERT_GE(lines.size(), 5U);
    EXPECT_EQ(lines.front(), "/////");
    EXPECT_EQ(lines[lines.size() - 2], "/////");
    long long symbols = 0;
    for (std::size_t i = 1; i + 2 < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (i + 3 < lines.size()) {
            ASSERT_EQ(line.size(), 59U) << i;
        }
        for (std::size_t at = 0; at < line.size(); ++at) {
            ASSERT_EQ(line[at] == ' ', at % 6 == 5) << i << ":" << at;
            symbols += line[at] == ' ' ? 0 : 1;
        }
    }
    EXPECT_EQ(lines.back(), "Groups: " + std::to_string((symbols + 4) / 5));
}

// Group text pasted into a message, re-wrapped, indented and lower-cased.
TEST_F(RoundTrip, ReworkedGroupTextStillDecodes) {
    const std::string bytes = RandomBytes(5000, 21);
    const std::string text = Encode(bytes);
    std::string symbols;
    for (std::size_t at = text.find("\r\n") + 2; text[at] != '/'; ++at) {
        if (std::isalnum(static_cast<unsigned char>(text[at])) != 0) {
            symbols += static_cast<char>(std::tolower(static_cast<unsigned char>(text[at])));
        }
    }
    std::string mail = "Hi Bob,\nhere they are:\n\n   /////\n";
    for (std::size_t at = 0; at < symbols.size(); at += 7) {
        mail += "\t  " + symbols.substr(at, 7) + "\n";
    }
    mail += "   /////   groups: 12345\n\nBye\n";
    dir.Write("mail", mail);
    ASSERT_EQ(Convert("mail", "back"), ConversionOutcome::Succeeded);
    EXPECT_EQ(dir.Read("back"), bytes);
}

// The detection rules, read straight from the whole text.
bool ModelDetect(const std::string& text) {
    int symbols = 0;
    int slashes = 0;
    int others = 0;
    for (const unsigned char c : text.substr(0, 1024)) {
        if (c == '/') {
            ++slashes;
        } else if (c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                   (c >= 'a' && c <= 'z')) {
            ++symbols;
        } else {
            ++others;
        }
    }
    return others < symbols && slashes >= 2;
}

std::string RandomText(std::mt19937& random, std::size_t size) {
    static const std::string alphabet = "ABCXYZabcwxyz0129/////     \r\r\n\n\t\x1a;@[\x80\xe1";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::string text(size, '\0');
    std::generate(text.begin(), text.end(), [&] {
        return pick(random) == 0 ? static_cast<char>(anyByte(random)) : alphabet[pick(random)];
    });
    return text;
}

TEST_F(RoundTrip, RandomTextDecodesAndDetectsAsTheRulesSay) {
    std::mt19937 random(2024);
    std::uniform_int_distribution<std::size_t> length(0, 3000);
    for (int round = 0; round < 1500; ++round) {
        std::size_t size = length(random);
        if (round % 100 == 0) {
            size = 70000 + size * 40;
        }
        std::string text = RandomText(random, size);
        if (round % 3 == 0) {
            // Fewer markers, so that long stretches get decoded.
            std::replace_if(
                text.begin(), text.end(), [&](char c) { return c == '/' && random() % 50 != 0; },
                'Q');
        }
        SCOPED_TRACE(round);
        const ModelDecoding model = ModelDecode(text);
        host.events.clear();
        std::filesystem::remove(dir.Path("out"));
        const std::string decoded = Decode(text);
        // Only a decoding that found both markers replaces the drain.
        if (model.startFound && model.endFound) {
            ASSERT_EQ(decoded, model.bytes);
        } else {
            ASSERT_FALSE(dir.Exists("out"));
        }
        const std::string expected = !model.startFound ? "Start sequence ///// not found!"
                                     : !model.endFound ? "End sequence ///// not found!"
                                                       : "";
        const auto texts = host.MessageTexts();
        ASSERT_EQ(texts.size(), 1U);
        if (!expected.empty()) {
            ASSERT_EQ(texts[0], expected);
        }
        if (!text.empty()) {
            ASSERT_EQ(Detect(text), ModelDetect(text));
        }
    }
}

}  // namespace
}  // namespace velkor::testing
