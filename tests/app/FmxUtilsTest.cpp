#include <gtest/gtest.h>

#include "FmxUtils.h"
#include "ScriptedHost.h"

namespace velkor {
namespace {

using testing::HostEvent;
using testing::ScriptedHost;

TEST(ShellOpenPath, OpensTheFileNameInItsFolder) {
    ScriptedHost host;
    ShellOpenPath(host, "/home/me/texts/notes.txt");
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0].type, HostEvent::Type::ShellOpen);
    EXPECT_EQ(host.events[0].text, "notes.txt");
    EXPECT_EQ(host.events[0].directory, "/home/me/texts/");
}

TEST(ShellOpenPath, ABareNameHasNoFolder) {
    ScriptedHost host;
    ShellOpenPath(host, "notes.txt");
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0].text, "notes.txt");
    EXPECT_EQ(host.events[0].directory, "");
}

TEST(ShellOpenPath, AnEmptyNameIsPassedOnUnchecked) {
    ScriptedHost host;
    ShellOpenPath(host, "");
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0].text, "");
}

TEST(ShellOpenFile, CutsLongTextsAtTheLimit) {
    ScriptedHost host;
    const std::string longName(kShellTextLimit + 10, 'n');
    const std::string longFolder(kShellTextLimit + 1, 'd');
    ShellOpenFile(host, longName, longFolder);
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0].text, std::string(kShellTextLimit, 'n'));
    EXPECT_EQ(host.events[0].directory, std::string(kShellTextLimit, 'd'));
}

TEST(ShellOpenFile, KeepsTextsUpToTheLimit) {
    ScriptedHost host;
    const std::string name(kShellTextLimit, 'n');
    ShellOpenFile(host, name, "/");
    EXPECT_EQ(host.events.at(0).text, name);
}

}  // namespace
}  // namespace velkor
