// The command table: names and keys as scripts and the window use them.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "editor/Actions.h"

namespace sw {
namespace {

TEST(Actions, NamesAndKeysFindTheirCommand) {
    EXPECT_EQ(ActionByName("acUndo"), Action::Undo);
    EXPECT_EQ(ActionByName(" ACUNDO "), Action::Undo);
    EXPECT_FALSE(ActionByName("acNothing"));
    EXPECT_FALSE(ActionByName(""));

    EXPECT_EQ(NormalizeKey("shift+ctrl+pgup"), "Ctrl+Shift+PgUp");
    EXPECT_EQ(NormalizeKey("Alt+PageDown"), "Alt+PgDown");
    EXPECT_EQ(NormalizeKey("c"), "C");
    EXPECT_EQ(NormalizeKey("Ctrl++"), "Ctrl++");
    EXPECT_EQ(NormalizeKey("Return"), "Enter");
    EXPECT_EQ(NormalizeKey("F24"), "F24");
    EXPECT_EQ(NormalizeKey("F25"), "");
    EXPECT_EQ(NormalizeKey("Ctrl+"), "");
    EXPECT_EQ(NormalizeKey("Hyper+C"), "");
    EXPECT_EQ(NormalizeKey("Banana"), "");

    EXPECT_EQ(ActionByKey("Ctrl+Z"), Action::Undo);
    EXPECT_EQ(ActionByKey("alt+backspace"), Action::Undo);
    EXPECT_EQ(ActionByKey("Alt+PgDown"), Action::NextPage);
    EXPECT_EQ(ActionByKey("Ctrl+F5"), Action::Repaginate);
    EXPECT_FALSE(ActionByKey("Left"));  // a cursor key, not a command
}

TEST(Actions, EveryNameAndKeyIsTakenOnce) {
    std::set<std::string> names, keys;
    for (const ActionInfo& a : kActions) {
        EXPECT_TRUE(names.insert(a.name).second) << a.name;
        std::string_view k = a.keys;
        while (!k.empty()) {
            const std::size_t comma = k.find(',');
            const std::string key = NormalizeKey(k.substr(0, comma));
            EXPECT_FALSE(key.empty()) << a.name << " has a key that is no key";
            EXPECT_TRUE(keys.insert(key).second) << key << " is given twice";
            EXPECT_EQ(ActionByKey(key), a.id);
            if (comma == std::string_view::npos) break;
            k.remove_prefix(comma + 1);
        }
    }
}

}  // namespace
}  // namespace sw
