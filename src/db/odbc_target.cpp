#include "db/odbc_target.h"

#include "db/database.h"
#include "base/date_text.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace agendia::db {

namespace {

using base::LowerCase;

Status Unreachable(const std::string& what) {
  return Status::Error(err::kUnspecified, what + " is not supported: give the server as "
                                                 "host or host,port (TCP)");
}

// "sqlncli11.1" -> "sqlncli11": OLE DB providers carry a version suffix.
std::string WithoutVersion(std::string_view provider) {
  std::string name = LowerCase(base::Trim(provider));
  if (const size_t dot = name.find('.'); dot != std::string::npos) name.resize(dot);
  return name;
}

// A value as the driver manager reads it: braced when it would otherwise be
// cut at ';' or read wrongly, with '}' doubled inside.
std::string OdbcValue(std::string_view value) {
  const bool needs_braces = value.find_first_of(";{}=") != std::string_view::npos ||
                            (!value.empty() && (value.front() == ' ' || value.back() == ' '));
  if (!needs_braces) return std::string(value);
  std::string braced = "{";
  for (char c : value) {
    braced.push_back(c);
    if (c == '}') braced.push_back('}');
  }
  braced.push_back('}');
  return braced;
}

void Add(std::string& out, std::string_view key, std::string_view value) {
  if (!out.empty()) out.push_back(';');
  out.append(key);
  out.push_back('=');
  out += OdbcValue(value);
}

std::optional<long> WholeNumber(std::string_view text) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

StatusOr<long> LoginTimeout(const ConnectionString& settings, long connection_timeout_seconds) {
  for (const char* key : {"connect timeout", "connection timeout"}) {
    const std::string* given = settings.Find(key);
    if (!given) continue;
    const std::optional<long> seconds = WholeNumber(base::Trim(*given));
    if (!seconds) {
      return Status::Error(err::kUnspecified,
                           "Invalid connection string: Connect Timeout must be a whole number of "
                           "seconds");
    }
    if (*seconds > 0) return *seconds;
  }
  if (connection_timeout_seconds > 0) return connection_timeout_seconds;
  return kDefaultLoginTimeoutSeconds;
}

bool IsTrue(std::string_view value) {
  const std::string lower = LowerCase(base::Trim(value));
  return lower == "sspi" || lower == "true" || lower == "yes";
}

bool IsFreeTds(std::string_view driver) {
  const std::string lower = LowerCase(driver);
  return lower.find("freetds") != std::string::npos || lower.find("tdsodbc") != std::string::npos;
}

// "ODBC Driver 18 for SQL Server" -> 18; nothing for other names.
std::optional<int> MicrosoftDriverVersion(std::string_view name) {
  constexpr std::string_view kPrefix = "odbc driver ", kSuffix = " for sql server";
  const std::string lower = LowerCase(name);
  if (lower.size() <= kPrefix.size() + kSuffix.size() || !lower.starts_with(kPrefix) ||
      !lower.ends_with(kSuffix)) {
    return std::nullopt;
  }
  const std::string_view digits =
      std::string_view(lower).substr(kPrefix.size(), lower.size() - kPrefix.size() - kSuffix.size());
  int version = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), version);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return version;
}

std::optional<std::string> BestSqlServerDriver(const std::vector<std::string>& installed) {
  const std::string* best = nullptr;
  int best_version = -1;
  for (const std::string& name : installed) {
    if (auto version = MicrosoftDriverVersion(name); version && *version > best_version) {
      best = &name;
      best_version = *version;
    }
  }
  if (best) return *best;
  for (std::string_view wanted : {"sql server native client", "freetds"}) {
    for (const std::string& name : installed) {
      if (LowerCase(name).starts_with(wanted)) return name;
    }
  }
  for (const std::string& name : installed) {
    if (LowerCase(name) == "sql server") return name;
  }
  return std::nullopt;
}

struct ServerAddress {
  std::string host;
  std::string instance;
  std::string port;
};

StatusOr<ServerAddress> ReadDataSource(std::string_view data_source) {
  std::string text = base::Trim(data_source);
  const std::string lower = LowerCase(text);
  if (lower.starts_with("np:")) return Unreachable("A named pipe (np:)");
  if (lower.starts_with("lpc:")) return Unreachable("Shared memory (lpc:)");
  if (lower.starts_with("(localdb)")) return Unreachable("LocalDB ((localdb))");
  if (lower.starts_with("tcp:")) text.erase(0, 4);

  ServerAddress address;
  if (const size_t comma = text.find(','); comma != std::string::npos) {
    address.port = base::Trim(std::string_view(text).substr(comma + 1));
    text.resize(comma);
    const std::optional<long> port = WholeNumber(address.port);
    if (!port || *port < 1 || *port > 65535) {
      return Status::Error(err::kUnspecified, "Invalid connection string: the port in Data Source "
                                              "must be a number from 1 to 65535");
    }
  }
  if (const size_t slash = text.find('\\'); slash != std::string::npos) {
    address.instance = base::Trim(std::string_view(text).substr(slash + 1));
    text.resize(slash);
  }
  address.host = base::Trim(text);
  const std::string host = LowerCase(address.host);
  // The local server by the names SQL Server's clients know; over TCP here.
  if (host.empty() || host == "." || host == "(local)") address.host = "127.0.0.1";
  return address;
}

StatusOr<OdbcTarget> MapSqlServer(const ConnectionString& settings, long login_timeout,
                                  const std::vector<std::string>& installed_drivers) {
  OdbcTarget target;
  target.login_timeout_seconds = login_timeout;

  std::string driver;
  if (const std::string* given = settings.Find("Driver")) {
    driver = *given;
  } else if (auto best = BestSqlServerDriver(installed_drivers)) {
    driver = *best;
  } else {
    return Status::Error(err::kProviderNotFound,
                         "No SQL Server ODBC driver is installed (ODBC Driver 18 for SQL Server "
                         "or FreeTDS)");
  }
  const bool freetds = IsFreeTds(driver);

  const std::string* source = settings.Find("Data Source");
  if (!source) source = settings.Find("Server");
  StatusOr<ServerAddress> address = ReadDataSource(source ? *source : std::string());
  if (!address.ok()) return address.status();

  std::string& out = target.connection_string;
  Add(out, "Driver", driver);
  std::string server = address->host;
  if (!address->instance.empty() && (!freetds || address->port.empty())) {
    server += "\\" + address->instance;
  }
  if (freetds) {
    Add(out, "Server", server);
    if (!address->port.empty()) Add(out, "Port", address->port);
  } else {
    if (!address->port.empty()) server += "," + address->port;
    Add(out, "Server", server);
  }

  const std::string* database = settings.Find("Initial Catalog");
  if (!database) database = settings.Find("Database");
  if (database) Add(out, "Database", *database);

  const std::string* integrated = settings.Find("Integrated Security");
  if (integrated && IsTrue(*integrated)) {
    Add(out, "Trusted_Connection", "yes");
  } else {
    if (const std::string* user = settings.Find("User ID")) Add(out, "UID", *user);
    if (const std::string* password = settings.Find("Password")) {
      Add(out, "PWD", *password);
      target.secrets.push_back(*password);
    }
  }
  for (const char* key : {"Encrypt", "TrustServerCertificate"}) {
    if (const std::string* value = settings.Find(key)) Add(out, key, *value);
  }
  if (freetds) {
    if (!settings.Find("TDS_Version")) Add(out, "TDS_Version", "7.4");
    if (!settings.Find("ClientCharset")) Add(out, "ClientCharset", "UTF-8");
    for (const char* key : {"TDS_Version", "ClientCharset"}) {
      if (const std::string* value = settings.Find(key)) Add(out, key, *value);
    }
  }
  return target;
}

OdbcTarget MapPassThrough(const ConnectionString& settings, long login_timeout) {
  OdbcTarget target;
  target.login_timeout_seconds = login_timeout;
  for (const ConnectionString::Part& part : settings.parts()) {
    if (part.key == "provider" || part.key == "connect timeout" ||
        part.key == "connection timeout" || part.key == "persist security info") {
      continue;
    }
    std::string_view key = part.as_given;
    if (part.key == "user id") key = "UID";
    if (part.key == "password") key = "PWD";
    if (part.key == "password" || part.key == "pwd") target.secrets.push_back(part.value);
    Add(target.connection_string, key, part.value);
  }
  return target;
}

}  // namespace

bool IsSqlServerProvider(std::string_view provider) {
  const std::string name = WithoutVersion(provider);
  return name == "sqloledb" || name == "sqlncli" || name == "sqlncli10" || name == "sqlncli11" ||
         name == "msoledbsql" || name == "msoledbsql19";
}

bool IsOdbcProvider(std::string_view provider) { return WithoutVersion(provider) == "msdasql"; }

StatusOr<OdbcTarget> MapToOdbc(const ConnectionString& settings, long connection_timeout_seconds,
                               const std::vector<std::string>& installed_drivers) {
  StatusOr<long> login_timeout = LoginTimeout(settings, connection_timeout_seconds);
  if (!login_timeout.ok()) return login_timeout.status();
  const std::string* provider = settings.Find("Provider");
  if (provider && IsSqlServerProvider(*provider)) {
    return MapSqlServer(settings, *login_timeout, installed_drivers);
  }
  return MapPassThrough(settings, *login_timeout);
}

}  // namespace agendia::db
