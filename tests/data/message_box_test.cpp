// Message boxes: the installed handler sees every box; without one the default
// answers with the first button.
#include <gtest/gtest.h>

#include <string>

#include "shared/message_box.h"

namespace {

TEST(MessageBoxTest, HandlerSeesTheBoxAndItsAnswerIsReturned) {
    std::string text;
    unsigned type = 0;
    unsigned help = 0;
    SetMessageBoxHandler([&](const std::string& t, unsigned ty, unsigned h) {
        text = t;
        type = ty;
        help = h;
        return IDNO;
    });
    EXPECT_EQ(AfxMessageBox("Continue?", MB_YESNO | MB_ICONQUESTION, 7), IDNO);
    EXPECT_EQ(text, "Continue?");
    EXPECT_EQ(type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(help, 7u);

    SetMessageBoxHandler({});
    EXPECT_EQ(AfxMessageBox("plain"), IDOK);
    EXPECT_EQ(AfxMessageBox("ask", MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(AfxMessageBox("ok?", MB_OKCANCEL | MB_ICONSTOP), IDOK);
}

}  // namespace
