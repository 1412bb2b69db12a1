#include "db/database.h"
#include "support/memo_database.h"

#include <gtest/gtest.h>

#include <string>

namespace agendia::db {
namespace {

using DbProviderChoice = testing::MemoDatabaseTest;

// "{file}" in a connection string stands for the test's database file.
std::string WithFile(std::string text, const std::string& file) {
  const size_t at = text.find("{file}");
  if (at != std::string::npos) text.replace(at, 6, file);
  return text;
}

TEST_F(DbProviderChoice, OpensSqliteForItsFormsAndHandsServerFormsToTheDriverManager) {
  struct Case {
    const char* connection_string;
    int32_t code;
    const char* description;
  };
  const std::string kNotInstalled = "Provider cannot be found. It may not be properly installed. ";
  const Case cases[] = {
      {"Provider=SQLite;Data Source={file}", 0, ""},
      {"{file}", 0, ""},
      {"  provider = sqlite ; data source = \"{file}\" ; ", 0, ""},
      {"Provider=SQLite;Data Source='{file}';Busy Timeout=100", 0, ""},
      {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb", err::kProviderNotFound,
       "(Microsoft.Jet.OLEDB.4.0)"},
      // A Provider after a bare password may be the password's own text.
      {"Data Source=x;Password=Open;Provider=OpenSesame", err::kProviderNotFound,
       "(a Provider given after a password that holds ';' (not repeated here: quote the "
       "password))"},
      // The server providers and ODBC strings go to the driver manager; these
      // fail before any server is asked.
      {"Provider=SQLOLEDB;Data Source=np:\\\\dbhost\\pipe\\sql\\query;User ID=sa;Password=x",
       err::kUnspecified,
       "A named pipe (np:) is not supported: give the server as host or host,port (TCP)"},
      {"Driver={No Such Driver};Server=dbhost", err::kUnspecified,
       "[unixODBC][Driver Manager]Can't open lib 'No Such Driver' : file not found"},
      {"DSN=VXSystem;UID=sa", err::kUnspecified,
       "[unixODBC][Driver Manager]Data source name not found and no default driver specified"},
      {"Data Source={file}", err::kUnspecified,
       "[unixODBC][Driver Manager]Data source name not found and no default driver specified"},
      {"", err::kUnspecified, "Invalid connection string: it is empty"},
      {"Provider=SQLite", err::kUnspecified,
       "The connection string names no database file (Data Source)"},
      {"Provider=SQLite;Data Source=", err::kUnspecified,
       "The connection string names no database file (Data Source)"},
  };
  for (const Case& c : cases) {
    const std::string text = WithFile(c.connection_string, file().string());
    SCOPED_TRACE(text);
    StatusOr<std::shared_ptr<Connection>> connection = client_->CreateConnection();
    ASSERT_TRUE(connection.ok());
    const Status opened = (*connection)->Open(text);
    EXPECT_EQ(opened.code(), c.code);
    if (c.code == err::kProviderNotFound) {
      EXPECT_EQ(opened.description(), kNotInstalled + c.description);
    } else {
      EXPECT_EQ(opened.description(), c.description);
    }
    EXPECT_EQ((*connection)->State(), opened.ok() ? kStateOpen : kStateClosed);
    if (opened.ok()) {
      EXPECT_EQ(ReadColumn(*connection, "select count(*) as n from VXSystem..ZA_Message", "n"),
                std::vector<std::string>{"0"});
    }
  }
}

}  // namespace
}  // namespace agendia::db
