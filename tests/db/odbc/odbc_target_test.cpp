// The host's connection strings as the ODBC driver manager gets them: every
// form of the table in src/db/README.md, one row each.

#include "db/connection_string.h"
#include "db/database.h"
#include "db/odbc_target.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace agendia::db {
namespace {

using Drivers = std::vector<std::string>;
const Drivers kLinux = {"PostgreSQL Unicode", "FreeTDS", "SQLite3"};
const Drivers kMicrosoft = {"FreeTDS", "ODBC Driver 17 for SQL Server",
                            "ODBC Driver 18 for SQL Server"};
const Drivers kWindows = {"SQL Server", "Microsoft Access Driver (*.mdb)"};
const Drivers kNoSqlServer = {"PostgreSQL Unicode"};
const std::string kTds = ";TDS_Version=7.4;ClientCharset=UTF-8";

struct Mapped {
  std::string host_string;
  Drivers drivers;
  std::string odbc_string;
  long login_timeout;
  std::vector<std::string> secrets;
};

TEST(OdbcTarget, MapsEveryFormOfTheHostsConnectionString) {
  const std::vector<Mapped> cases = {
      {"Provider=SQLOLEDB.1;Password=x;Persist Security Info=True;User ID=sa;"
       "Initial Catalog=VXSystem;Data Source=DBSERVER",
       kLinux, "Driver=FreeTDS;Server=DBSERVER;Database=VXSystem;UID=sa;PWD=x" + kTds, 15, {"x"}},
      {"Provider=SQLOLEDB;Data Source=db,1433;Database=VXSystem;Connect Timeout=5", kLinux,
       "Driver=FreeTDS;Server=db;Port=1433;Database=VXSystem" + kTds, 5, {}},
      {"Provider=SQLNCLI11;Data Source=tcp:db.example.com,14330;Integrated Security=SSPI;"
       "User ID=ignored;Password=ignored",
       kMicrosoft,
       "Driver=ODBC Driver 18 for SQL Server;Server=db.example.com,14330;Trusted_Connection=yes",
       15, {}},
      {"Provider=MSOLEDBSQL19;Data Source=db\\SQLEXPRESS;User ID=u;Password=p;Encrypt=yes;"
       "TrustServerCertificate=yes;Connection Timeout=0",
       kMicrosoft,
       "Driver=ODBC Driver 18 for SQL Server;Server=db\\SQLEXPRESS;UID=u;PWD=p;Encrypt=yes;"
       "TrustServerCertificate=yes",
       15, {"p"}},
      {"Provider=SQLNCLI10.1;Data Source=(local);Integrated Security=true", kWindows,
       "Driver=SQL Server;Server=127.0.0.1;Trusted_Connection=yes", 15, {}},
      {"Provider=MSOLEDBSQL;Data Source=.\\SQLEXPRESS;User ID=sa;Password='a;b}c'", kLinux,
       "Driver=FreeTDS;Server=127.0.0.1\\SQLEXPRESS;UID=sa;PWD={a;b}}c}" + kTds, 15, {"a;b}c"}},
      {"Provider=SQLNCLI;Data Source=db\\inst,1500;Driver={ODBC Driver 17 for SQL Server}", kLinux,
       "Driver=ODBC Driver 17 for SQL Server;Server=db\\inst,1500", 15, {}},
      {"Provider=SQLOLEDB;Data Source=db\\inst,1500;TDS_Version=8.0", kLinux,
       "Driver=FreeTDS;Server=db;Port=1500;ClientCharset=UTF-8;TDS_Version=8.0", 15, {}},
      {"Provider=MSDASQL.1;DSN=VXSystem;User ID=sa;Password=pw;Connect Timeout=7", kLinux,
       "DSN=VXSystem;UID=sa;PWD=pw", 7, {"pw"}},
      {"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=5432;Database=vxsystem;Uid=u;Pwd=p",
       kLinux, "Driver=PostgreSQL Unicode;Server=127.0.0.1;Port=5432;Database=vxsystem;Uid=u;Pwd=p",
       15, {"p"}},
      {"Driver=SQLite3;Database=/data/VXSystem.db;NoCreat=1", kLinux,
       "Driver=SQLite3;Database=/data/VXSystem.db;NoCreat=1", 15, {}},
  };
  for (const Mapped& c : cases) {
    SCOPED_TRACE(c.host_string);
    StatusOr<ConnectionString> parsed = ConnectionString::Parse(c.host_string);
    ASSERT_TRUE(parsed.ok()) << parsed.status().description();
    StatusOr<OdbcTarget> target = MapToOdbc(*parsed, 0, c.drivers);
    ASSERT_TRUE(target.ok()) << target.status().description();
    EXPECT_EQ(target->connection_string, c.odbc_string);
    EXPECT_EQ(target->login_timeout_seconds, c.login_timeout);
    EXPECT_EQ(target->secrets, c.secrets);
  }
}

struct Refused {
  std::string host_string;
  Drivers drivers;
  int32_t code;
  std::string description;
};

TEST(OdbcTarget, RefusesAtOnceWhatCannotBeReachedAndNeverRepeatsThePassword) {
  const std::string kUseTcp = " is not supported: give the server as host or host,port (TCP)";
  const std::vector<Refused> cases = {
      {"Provider=SQLOLEDB;Data Source=np:\\\\db\\pipe\\sql\\query;Password=secret", kLinux,
       err::kUnspecified, "A named pipe (np:)" + kUseTcp},
      {"Provider=SQLOLEDB;Data Source=lpc:db;Password=secret", kLinux, err::kUnspecified,
       "Shared memory (lpc:)" + kUseTcp},
      {"Provider=SQLOLEDB;Data Source=(localdb)\\MSSQLLocalDB;Password=secret", kLinux,
       err::kUnspecified, "LocalDB ((localdb))" + kUseTcp},
      {"Provider=SQLOLEDB;Data Source=db,99999;Password=secret", kLinux, err::kUnspecified,
       "Invalid connection string: the port in Data Source must be a number from 1 to 65535"},
      {"Provider=SQLOLEDB;Data Source=db;Connect Timeout=soon;Password=secret", kLinux,
       err::kUnspecified,
       "Invalid connection string: Connect Timeout must be a whole number of seconds"},
      {"Provider=SQLOLEDB;Data Source=db;Password=secret", kNoSqlServer, err::kProviderNotFound,
       "No SQL Server ODBC driver is installed (ODBC Driver 18 for SQL Server or FreeTDS)"},
  };
  for (const Refused& c : cases) {
    SCOPED_TRACE(c.host_string);
    StatusOr<ConnectionString> parsed = ConnectionString::Parse(c.host_string);
    ASSERT_TRUE(parsed.ok());
    StatusOr<OdbcTarget> target = MapToOdbc(*parsed, 0, c.drivers);
    ASSERT_FALSE(target.ok());
    EXPECT_EQ(target.status().code(), c.code);
    EXPECT_EQ(target.status().description(), c.description);
  }
}

TEST(OdbcTarget, TheLoginBoundIsTheStringsThenTheConnectionsThenFifteenSeconds) {
  struct Bound {
    std::string host_string;
    long connection_timeout;
    long expected;
  };
  const std::vector<Bound> cases = {
      {"DSN=x", 0, kDefaultLoginTimeoutSeconds},
      {"DSN=x", 40, 40},
      {"DSN=x;Connect Timeout=3", 40, 3},
      {"DSN=x;Connect Timeout=0", 0, kDefaultLoginTimeoutSeconds},
  };
  EXPECT_EQ(kDefaultLoginTimeoutSeconds, 15);
  for (const Bound& c : cases) {
    SCOPED_TRACE(c.host_string + " / " + std::to_string(c.connection_timeout));
    StatusOr<OdbcTarget> target = MapToOdbc(*ConnectionString::Parse(c.host_string),
                                            c.connection_timeout, kLinux);
    ASSERT_TRUE(target.ok());
    EXPECT_EQ(target->login_timeout_seconds, c.expected);
  }
}

TEST(OdbcTarget, SecretsAreMaskedWhereverTheyAppearInAMessage) {
  EXPECT_EQ(WithoutSecrets("login pwd=pwd1 failed: pwd1", {"pwd1", ""}),
            "login pwd=**** failed: ****");
  // Too short to be told from ordinary words: only where it is a value.
  EXPECT_EQ(WithoutSecrets("login pwd=pw failed: pw", {"pw"}), "login pwd=**** failed: pw");
  EXPECT_EQ(WithoutSecrets("nothing to hide", {}), "nothing to hide");
}

TEST(OdbcTarget, RecognisesTheSqlServerAndOdbcProvidersWithTheirVersions) {
  for (const char* provider : {"SQLOLEDB", "sqloledb.1", "SQLNCLI", "SQLNCLI10", "SQLNCLI11.1",
                               "MSOLEDBSQL", "MSOLEDBSQL19"}) {
    EXPECT_TRUE(IsSqlServerProvider(provider)) << provider;
    EXPECT_FALSE(IsOdbcProvider(provider)) << provider;
  }
  EXPECT_TRUE(IsOdbcProvider("MSDASQL.1"));
  EXPECT_FALSE(IsSqlServerProvider("Microsoft.Jet.OLEDB.4.0"));
  EXPECT_FALSE(IsSqlServerProvider("SQLite"));
}

}  // namespace
}  // namespace agendia::db
