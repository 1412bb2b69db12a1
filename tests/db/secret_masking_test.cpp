// The password is hidden where a driver repeats it, and nowhere else: a
// message stays readable, and the gaps never spell the password out.

#include "db/secret_masking.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace agendia::db {
namespace {

TEST(SecretMasking, HidesThePasswordWhereItStandsAsAValueOrAWholeWordOnly) {
  struct Case {
    std::vector<std::string> secrets;
    const char* message;
    const char* shown;
  };
  const Case cases[] = {
      // A one-letter password is never cut out of words.
      {{"a"}, "[unixODBC][Driver Manager]Data source name not found",
       "[unixODBC][Driver Manager]Data source name not found"},
      {{"ana"}, "Banana: login failed", "Banana: login failed"},
      // As the value of a password key, in any of its spellings and quotes.
      {{"a"}, "connect failed: UID=u;PWD=a;Server=x", "connect failed: UID=u;PWD=****;Server=x"},
      {{"it's;x9"}, "Password='it''s;x9';UID=u", "Password=****;UID=u"},
      {{"say \"hi\";x"}, "pwd = \"say \"\"hi\"\";x\" ;UID=u", "pwd = **** ;UID=u"},
      {{"a;b}c"}, "PWD={a;b}}c};Database=vxsystem", "PWD=****;Database=vxsystem"},
      // A bare value that starts with the password is masked that far.
      {{"Sesame"}, "PWD=Sesame failed", "PWD=**** failed"},
      // A bare value that is not the password (a wrong one) runs to ';'.
      {{"Sesame"}, "password=Wrong-pass;x", "password=****;x"},
      {{}, "password authentication failed for user \"agendia\"",
       "password authentication failed for user \"agendia\""},
      // A longer password as a whole word, wherever it stands.
      {{"Sesame9"}, "user demo (Sesame9) refused: Sesame9", "user demo (****) refused: ****"},
      {{"Sesame9"}, "OpenSesame9 and Sesame99", "OpenSesame9 and Sesame99"},
      {{"张三密码"}, "密码 张三密码: 张三密码x", "密码 ****: 张三密码x"},
      {{"'s;x9"}, "a's;x9'", "a****'"},
      {{"", "pw"}, "nothing to hide", "nothing to hide"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(WithoutSecrets(c.message, c.secrets), c.shown);
  }
}

}  // namespace
}  // namespace agendia::db
