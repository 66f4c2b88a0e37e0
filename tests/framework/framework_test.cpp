#include "fixtures/headless_app.h"

#include <gtest/gtest.h>

namespace {

struct tBoxCase {
    UINT given;
    UINT shown;
};

void PrintTo(const tBoxCase& c, std::ostream* out) {
    *out << "type " << c.given;
}

class MessageBoxType : public fixtures::HeadlessApp,
                       public ::testing::WithParamInterface<tBoxCase> {};

TEST_P(MessageBoxType, GetsTheExclamationMarkOnlyWhenItNamesNoIcon) {
    headless::answerMessageBox(IDOK);
    EXPECT_EQ(AfxMessageBox("text", GetParam().given), IDOK);
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].type, GetParam().shown);
    EXPECT_EQ(headless::messageBoxes()[0].caption, theApp.m_pszAppName);
}

INSTANTIATE_TEST_SUITE_P(
    Types, MessageBoxType,
    ::testing::Values(tBoxCase{MB_OK, MB_OK | MB_ICONEXCLAMATION},
                      tBoxCase{MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
                      tBoxCase{MB_OK | MB_ICONINFORMATION, MB_OK | MB_ICONINFORMATION},
                      tBoxCase{MB_OKCANCEL | MB_ICONHAND, MB_OKCANCEL | MB_ICONHAND}));

TEST(CStringFormat, WritesWholeTextsOfAnyLength) {
    CString text;
    text.Format("%s-%u", std::string(5000, 'x').c_str(), 42u);
    EXPECT_EQ(text.GetLength(), 5003);
    EXPECT_EQ(text.str().substr(4998), "xx-42");
    CString joined = CString("a") + "b" + CString("c");
    EXPECT_EQ(joined, "abc");
}

} // namespace
