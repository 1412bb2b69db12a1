// The portal shows the connection string it hands the calendar, but never
// the password in it.

#include "portal_options.h"

#include <gtest/gtest.h>

namespace {

TEST(MaskedConnectionTest, HidesEveryPasswordValueAndKeepsTheRest) {
  struct Case {
    const char* connection;
    const char* shown;
  };
  const Case cases[] = {
      {"Provider=SQLOLEDB.1;Password=x;Persist Security Info=True;User ID=sa;Data Source=DB",
       "Provider=SQLOLEDB.1;Password=****;Persist Security Info=True;User ID=sa;Data Source=DB"},
      {"Driver={PostgreSQL Unicode};Server=127.0.0.1;Uid=u;PWD={a;b}}c};Database=vxsystem",
       "Driver={PostgreSQL Unicode};Server=127.0.0.1;Uid=u;PWD=****;Database=vxsystem"},
      {"DSN=x; password = 'p;q' ;UID=u", "DSN=x; password = **** ;UID=u"},
      {"Pwd=last", "Pwd=****"},
      // A doubled quote stays inside the quoted value: nothing of it shows.
      {"Password='it''s;x9';UID=u", "Password=****;UID=u"},
      {"PWD=\"say \"\"hi\"\";x\";UID=u", "PWD=****;UID=u"},
      {"Provider=SQLite;Data Source=/data/password=1.db", "Provider=SQLite;Data Source=/data/password=1.db"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MaskedConnection(QString::fromUtf8(c.connection)).toStdString(), c.shown);
  }
}

}  // namespace
