// A SQL Server that accepts the connection and never answers, reached
// through FreeTDS with the host's OLE DB connection string: the login gives
// up within its bound with the time-out number, and says nothing of the
// password.

#include "db/database.h"
#include "db/default_client.h"
#include "db/odbc/silent_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

namespace agendia::db {
namespace {

// Far past every bound tested here: only a login that hangs reaches it.
constexpr auto kHung = std::chrono::seconds(90);

Status OpenAsTheWindowDoes(const std::string& connection_string) {
  auto connection = MakeDefaultClient()->CreateConnection();
  if (!connection.ok()) return connection.status();
  (*connection)->SetCommandTimeout(300).IgnoreError();
  (*connection)->SetConnectionTimeout(0).IgnoreError();
  return (*connection)->Open(connection_string);
}

void ExpectLoginTimeout(const std::string& connection_string) {
  SCOPED_TRACE(connection_string);
  auto opening = std::async(std::launch::async, OpenAsTheWindowDoes, connection_string);
  ASSERT_EQ(opening.wait_for(kHung), std::future_status::ready) << "the login never gave up";
  const Status opened = opening.get();
  EXPECT_EQ(opened.code(), err::kTimeout) << opened.description();
  EXPECT_EQ(opened.description().find("S3cret"), std::string::npos) << opened.description();
}

TEST(SqlServerLogin, ASilentServerTimesOutAfterTheConnectTimeoutOfTheString) {
  testing::SilentServer server;
  ASSERT_NE(server.port(), 0);
  ExpectLoginTimeout("Provider=SQLOLEDB.1;Password=S3cret!;Persist Security Info=True;User ID=sa;"
                     "Initial Catalog=VXSystem;Data Source=127.0.0.1," +
                     std::to_string(server.port()) + ";Connect Timeout=2");
}

TEST(SqlServerLogin, ASilentServerTimesOutAfterTheOwnBoundWhenConnectionTimeoutIsZero) {
  testing::SilentServer server;
  ASSERT_NE(server.port(), 0);
  ExpectLoginTimeout("Provider=SQLOLEDB.1;Password=S3cret!;User ID=sa;Initial Catalog=VXSystem;"
                     "Data Source=tcp:127.0.0.1," + std::to_string(server.port()));
}

}  // namespace
}  // namespace agendia::db
