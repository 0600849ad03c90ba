#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "ConversionRequest.h"
#include "ConversionSession.h"
#include "FaultyFileSystem.h"
#include "ScriptedHost.h"
#include "TempDir.h"

namespace velkor::testing {

inline std::string GroupFile(const std::string& groupLines, long long count) {
    return "/////\r\n" + groupLines + "/////\r\nGroups: " + std::to_string(count) + "\r\n";
}

inline std::string RandomBytes(std::size_t size, std::uint32_t seed, int lowest = 0,
                               int highest = 255) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(lowest, highest);
    std::string bytes(size, '\0');
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(value(random)); });
    return bytes;
}

class ConvertTest : public ::testing::Test {
  protected:
    // Runs the one routine named, on "in", into "out"; returns what "out" holds.
    std::string Encode(const std::string& bytes) {
        Prepare(bytes);
        window.EncodeGroups();
        return dir.Read("out");
    }
    std::string Decode(const std::string& text) {
        Prepare(text);
        window.DecodeGroups();
        return dir.Read("out");
    }
    bool Detect(const std::string& bytes) {
        Prepare(bytes);
        return window.DetectGroupText();
    }
    // A whole Groups command as the window runs it: detection, conversion, close.
    ConversionOutcome Convert(const std::string& source, const std::string& drain) {
        if (!RequestConversion(window, dir.Path(source), dir.Path(drain))) {
            return ConversionOutcome::None;
        }
        window.RunWithoutScreen();
        return window.Outcome;
    }

    void Prepare(const std::string& source) {
        dir.Write("in", source);
        window.SourceFileName = dir.Path("in");
        window.DrainFileName = dir.Path("out");
        window.Converting = true;
    }

    TempDir dir;
    ScriptedHost host;
    FaultyFileSystem files;
    ConversionSession window{host, files};
};

}  // namespace velkor::testing
