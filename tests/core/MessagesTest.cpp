// The message table, message formatting and the warning box rules.
#include <gtest/gtest.h>

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/ScriptedHost.h"
#include "core/WarningBox.h"

namespace sw {
namespace {

TEST(Messages, EveryNamedMessageIsInTheTable) {
    for (int n : {msg::FileNotFoundCheck, msg::FileCannotOpen, msg::CannotLoadNoteWorthy,
                  msg::LaterVersionQuestion, msg::ErrorInFileData, msg::FileTruncated,
                  msg::TemplateContentQuestion, msg::WriteErrorCode, msg::WriteInvalidInput,
                  msg::ProcessingErrorCode, msg::TemplateNotSaved, msg::StaveTooComplex,
                  msg::TooManyFonts, msg::ProductName, msg::FileReadFailed})
        EXPECT_TRUE(HasMessage(n)) << n;
    for (int code = 1; code <= 7; ++code)
        EXPECT_TRUE(HasMessage(msg::PreCheckBase + code));
}

TEST(Messages, TextsKeepTheirLineBreaksAndWording) {
    EXPECT_EQ(MessageText(msg::NotAStaffwrightFile),
              "File load failed.\n\nFile is not a Staffwright or NoteWorthy 2 file.");
    EXPECT_EQ(FormatMessage(msg::LaterVersionQuestion, MessageText(msg::ProductName)),
              "This file has been saved by a later version of Staffwright 5 than the one you are "
              "running now.\n\nThere is a risk that it may not load correctly.\nDo you wish to "
              "try anyway?");
    EXPECT_EQ(MessageText(123456), "Message 123456");
}

TEST(Messages, FormattingNeverReadsPastOrMisreadsItsArguments) {
    EXPECT_EQ(FormatText("Staves %d-%d saved as %s", 3, 7, "a.SWN"), "Staves 3-7 saved as a.SWN");
    EXPECT_EQ(FormatText("%5.3f|%d%%", 1.5, 42), "1.500|42%");
    // Too few arguments leave the place empty; a string for %d is read as a number.
    EXPECT_EQ(FormatText("%s and %s", "one"), "one and ");
    EXPECT_EQ(FormatText("%d", std::string("12")), "12");
    EXPECT_EQ(FormatText("100%"), "100%");
    EXPECT_EQ(FormatText("%s", 5), "5");
}

TEST(WarningBox, ShownOnlyBelowTheLevelBoundAndUntilSuppressed) {
    WarningBox box;
    ScriptedHost host;
    box.setUserLevel(3);
    // Level 3 is not below bound 3: counts as OK without a box.
    EXPECT_EQ(box.show(host, 100, "hint", 3, true), Answer::OK);
    box.setUserLevel(2);
    host.expectWarning("hint", Answer::Cancel, /*dontShowAgain=*/true);
    host.expectMessage("You have chosen not to see this message again.");
    EXPECT_EQ(box.show(host, 100, "hint", 3, true), Answer::Cancel);
    EXPECT_TRUE(box.suppressed(100));
    EXPECT_EQ(box.show(host, 100, "hint", 3, true), Answer::OK);
    // Numbers outside the suppressible range are never suppressed and never crash.
    box.setSuppressed(5000, true);
    EXPECT_FALSE(box.suppressed(5000));
    EXPECT_TRUE(host.problems().empty());
}

TEST(ScriptedHost, ReportsUnexpectedAndUnusedPrompts) {
    ScriptedHost host;
    host.expectMessage("first");
    EXPECT_EQ(host.message(MsgType::Error, "something else", Buttons::OKCancel), Answer::Cancel);
    host.expectInput("never asked", std::string("x"));
    auto problems = host.problems();
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("something else"), std::string::npos);
    EXPECT_NE(problems[1].find("never asked"), std::string::npos);
}

}  // namespace
}  // namespace sw
