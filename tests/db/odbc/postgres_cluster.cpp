#include "db/odbc/postgres_cluster.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace agendia::testing {

namespace {

// Quotes `text` for the shell.
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted.push_back(c);
    }
  }
  return quoted + "'";
}

std::optional<std::string> Run(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string output;
  char chunk[4096];
  size_t got = 0;
  while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, got);
  if (pclose(pipe) != 0) return std::nullopt;
  return output;
}

}  // namespace

PostgresCluster::PostgresCluster() {
  const char* state = std::getenv("AGENDIA_PG_STATE");
  state_dir_ = state ? state : AGENDIA_PG_STATE_DIR;
  std::ifstream file(state_dir_ + "/cluster.env");
  std::map<std::string, std::string> values;
  for (std::string line; std::getline(file, line);) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  if (values["PGPORT"].empty()) {
    ADD_FAILURE() << "no running PostgreSQL cluster is described in " << state_dir_
                  << ": run the test through ctest, whose fixture starts the cluster";
    return;
  }
  bin_dir_ = values["AGENDIA_PG_BIN"];
  port_ = values["PGPORT"];
  user_ = values["PGUSER"];
  password_ = values["PGPASSWORD"];
  database_ = values["PGDATABASE"];
}

std::string PostgresCluster::ConnectionString() const {
  return "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + port_ + ";Database=" + database_ +
         ";Uid=" + user_ + ";Pwd=" + password_;
}

std::string PostgresCluster::PsqlCommand(const std::string& sql) const {
  return "PGPASSWORD=" + ShellQuoted(password_) + " " + bin_dir_ +
         "/psql -X -q -At -F '|' -v ON_ERROR_STOP=1 -h 127.0.0.1 -p " + port_ + " -U " + user_ +
         " -d " + database_ + " -c " + ShellQuoted(sql);
}

std::optional<std::vector<std::string>> PostgresCluster::Psql(const std::string& sql) const {
  std::optional<std::string> output = Run(PsqlCommand(sql));
  if (!output) return std::nullopt;
  std::vector<std::string> lines;
  std::istringstream stream(*output);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

void PostgresCluster::DeleteAllMemos() const {
  EXPECT_TRUE(Psql("delete from ZA_Message").has_value());
}

std::string PostgresCluster::RunScript(const std::string& command) const {
  return std::string(AGENDIA_PG_CLUSTER_SCRIPT) + " " + command + " " + ShellQuoted(state_dir_);
}

bool PostgresCluster::Pause() const { return Run(RunScript("pause")).has_value(); }
bool PostgresCluster::Resume() const { return Run(RunScript("resume")).has_value(); }
bool PostgresCluster::Freeze() const { return Run(RunScript("freeze")).has_value(); }
bool PostgresCluster::Thaw() const { return Run(RunScript("thaw")).has_value(); }

}  // namespace agendia::testing
