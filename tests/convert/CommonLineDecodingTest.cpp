#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "ConvertFixture.h"
#include "DecodingModel.h"

namespace velkor::testing {
namespace {

// Texts of the common 61-character lines, longer than the 64 KiB pieces the
// source is read in and shifted against them by a prefix, with a few
// characters put in, changed or taken out, so that many lines are almost but
// not quite the common form: the fast lines and the rules must agree.
std::string AlmostCommonText(std::mt19937& random) {
    static const std::string symbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    // The neighbours of the symbol ranges, lower case, markers and line ends.
    static const std::string strangers = "/:@[`{az 9Z0A\t\r\n\x1a\x80\xff";
    std::uniform_int_distribution<std::size_t> symbol(0, symbols.size() - 1);
    std::uniform_int_distribution<std::size_t> stranger(0, strangers.size() - 1);
    std::string text(random() % 70, 'x');
    text += "/////\r\n";
    const std::size_t lines = 1100 + random() % 200;
    for (std::size_t line = 0; line < lines; ++line) {
        for (int at = 0; at < 50; ++at) {
            text += symbols[symbol(random)];
            text += at == 49 ? "\r\n" : at % 5 == 4 ? " " : "";
        }
    }
    text += "/////\r\nGroups: 1\r\n";
    const int changes = static_cast<int>(random() % 40);
    // Only past the start marker, so that the decoding has something to do.
    std::uniform_int_distribution<std::size_t> where(80, text.size() - 30);
    for (int change = 0; change < changes; ++change) {
        const std::size_t at = where(random);
        switch (random() % 3) {
            case 0:
                text[at] = strangers[stranger(random)];
                break;
            case 1:
                text.insert(at, 1, strangers[stranger(random)]);
                break;
            default:
                text.erase(at, 1);
                break;
        }
    }
    return text;
}

class CommonLineDecoding : public ConvertTest {};

TEST_F(CommonLineDecoding, AgreesWithTheRulesOnAlmostCommonLines) {
    std::mt19937 random(61);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const std::string text = AlmostCommonText(random);
        const ModelDecoding model = ModelDecode(text);
        std::filesystem::remove(dir.Path("out"));
        const std::string decoded = Decode(text);
        if (model.endFound) {
            ASSERT_EQ(decoded, model.bytes);
        } else {
            ASSERT_FALSE(dir.Exists("out"));
        }
    }
}

}  // namespace
}  // namespace velkor::testing
