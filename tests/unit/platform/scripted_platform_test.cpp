#include "platform/scripted_platform.h"

#include <gtest/gtest.h>

using namespace vokrin::platform;

TEST(ScriptedPlatform, InstallsItselfAndAnswersInOrder)
{
    {
        ScriptedPlatform desktop;
        EXPECT_EQ(&platform(), &desktop);
        desktop.openFileAnswers = {QString("/a.lyp"), std::nullopt};
        FileDialogOptions options;
        options.filter = "Lyrano files|*.lyp";
        EXPECT_EQ(platform().openFile(nullptr, options), QString("/a.lyp"));
        EXPECT_EQ(platform().openFile(nullptr, options), std::nullopt);
        EXPECT_EQ(platform().openFile(nullptr, options), std::nullopt) << "nothing left: cancelled";
        ASSERT_EQ(desktop.openFileRequests.size(), 3u);
        EXPECT_EQ(desktop.openFileRequests[0].filter, "Lyrano files|*.lyp");

        EXPECT_EQ(platform().showMessage(nullptr, "t", "c", MessageIcon::Error, MessageButtons::Ok),
                  MessageResult::Ok);
        EXPECT_EQ(platform().showMessage(nullptr, "q", "c", MessageIcon::Question,
                                         MessageButtons::OkCancel),
                  MessageResult::Cancel);
        desktop.messageAnswers.push_back(MessageResult::Ok);
        EXPECT_EQ(platform().showMessage(nullptr, "q", "c", MessageIcon::Question,
                                         MessageButtons::OkCancel),
                  MessageResult::Ok);
        ASSERT_EQ(desktop.messages.size(), 3u);
        EXPECT_EQ(desktop.messages[0].text, "t");
    }
    EXPECT_EQ(dynamic_cast<ScriptedPlatform *>(&platform()), nullptr)
        << "uninstalled on destruction";
}
