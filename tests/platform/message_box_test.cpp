#include "platform/message_box.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

TEST(message_box, answers_with_the_default_button_when_nobody_presents_it) {
    struct Case {
        unsigned style;
        int answer;
    } cases[] = {
        {MB_OK | MB_ICONERROR, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONWARNING, IDCANCEL},
        {MB_OK | MB_DEFBUTTON3, IDOK}, // no third button: the first one
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(messageBox(nullptr, "Text", "Atlion Find", c.style), c.answer) << c.style;
        const std::string written = testing::internal::GetCapturedStderr();
        EXPECT_NE(written.find("Atlion Find: Text"), std::string::npos) << written;
    }
}

TEST(message_box, goes_through_the_installed_presenter_until_it_is_removed) {
    std::vector<MessageBoxRequest> shown;
    int owner = 0;
    setMessageBoxPresenter([&](const MessageBoxRequest& r) {
        shown.push_back(r);
        return IDNO;
    });
    EXPECT_EQ(messageBox(&owner, "Save the search?", "Atlion Find", MB_YESNO | MB_ICONQUESTION),
              IDNO);
    setMessageBoxPresenter({});
    testing::internal::CaptureStderr();
    EXPECT_EQ(messageBox(nullptr, "x", "y", MB_YESNO), IDYES);
    testing::internal::GetCapturedStderr();

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].owner, &owner);
    EXPECT_EQ(shown[0].text, "Save the search?");
    EXPECT_EQ(shown[0].title, "Atlion Find");
    EXPECT_EQ(shown[0].style, MB_YESNO | MB_ICONQUESTION);
}

} // namespace
