// Where a written key lands in the text, and that nothing else moves.
#include <gtest/gtest.h>

#include <string>

#include "Platform/Win32/Profile/ProfileEdit.h"

namespace {

struct EditCase {
    const char* what;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

void PrintTo(const EditCase& example, std::ostream* out) {
    *out << example.what;
}

class ProfileEditTest : public testing::TestWithParam<EditCase> {};

TEST_P(ProfileEditTest, ChangesOnlyTheKeyLine) {
    const EditCase& example = GetParam();
    EXPECT_EQ(win32_profile::EditProfile(example.before, example.section, example.key, example.value),
              example.after);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProfileEditTest,
    testing::Values(
        EditCase{"empty text", "", "S", "K", "v", "[S]\nK=v\n"},
        EditCase{"value replaced in place", "[S]\nK=old\nL=1\n", "S", "K", "new", "[S]\nK=new\nL=1\n"},
        EditCase{"spacing and case of the line kept", "[s]\n  k = old  \n", "S", "K", "7", "[s]\n  k = 7\n"},
        EditCase{"quoted value replaced whole", "[S]\nK=\"a b\"\n", "S", "K", "c", "[S]\nK=c\n"},
        EditCase{"new key after the last key, before blank lines and comments",
                 "[S]\nA=1\n\n; note\n[T]\nB=2\n", "S", "K", "v", "[S]\nA=1\nK=v\n\n; note\n[T]\nB=2\n"},
        EditCase{"new key in a section without keys", "[S]\n; note\n[T]\n", "S", "K", "v",
                 "[S]\nK=v\n; note\n[T]\n"},
        EditCase{"new key after a last line without line end", "[S]\nA=1", "S", "K", "v", "[S]\nA=1\nK=v\n"},
        EditCase{"new section at the end", "[S]\nA=1\n\n", "T", "K", "v", "[S]\nA=1\n\n[T]\nK=v\n"},
        EditCase{"new section after a last line without line end", "; only", "T", "K", "v",
                 "; only\n[T]\nK=v\n"},
        EditCase{"CRLF text gets CRLF lines", "[S]\r\nA=1\r\n", "S", "K", "v", "[S]\r\nA=1\r\nK=v\r\n"},
        EditCase{"CR text gets CR lines", "[S]\rA=1\r", "T", "K", "v", "[S]\rA=1\r[T]\rK=v\r"},
        EditCase{"byte order mark kept", "\xEF\xBB\xBF[S]\nA=1\n", "S", "A", "2", "\xEF\xBB\xBF[S]\nA=2\n"},
        EditCase{"byte order mark alone", "\xEF\xBB\xBF", "S", "A", "2", "\xEF\xBB\xBF[S]\nA=2\n"},
        EditCase{"first duplicate key replaced", "[S]\nK=1\nK=2\n", "S", "K", "3", "[S]\nK=3\nK=2\n"},
        EditCase{"key of a later duplicate section replaced there", "[S]\nA=1\n[T]\n[s]\nK=2\n", "S", "K",
                 "3", "[S]\nA=1\n[T]\n[s]\nK=3\n"},
        EditCase{"new key goes to the first duplicate section", "[S]\nA=1\n[T]\n[S]\nB=2\n", "S", "K", "v",
                 "[S]\nA=1\nK=v\n[T]\n[S]\nB=2\n"},
        EditCase{"commented key is not the key", "[S]\n;K=1\n", "S", "K", "2", "[S]\nK=2\n;K=1\n"},
        EditCase{"keys before any section belong to none", "K=1\n", "S", "K", "2", "K=1\n[S]\nK=2\n"},
        EditCase{"NUL bytes elsewhere kept", std::string("[S]\nX=a\0b\nK=1\n", 14), "S", "K", "2",
                 std::string("[S]\nX=a\0b\nK=2\n", 14)},
        EditCase{"empty value", "[S]\nK=1\n", "S", "K", "", "[S]\nK=\n"}));

}  // namespace
