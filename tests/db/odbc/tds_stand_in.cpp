#include "db/odbc/tds_stand_in.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace agendia::testing {

namespace {

std::map<std::string, std::string> ReadState() {
  const char* overridden = std::getenv("AGENDIA_TDS_STATE");
  const std::string dir = overridden ? overridden : AGENDIA_TDS_STATE_DIR;
  std::map<std::string, std::string> values;
  std::ifstream in(dir + "/stand-in.env");
  for (std::string line; std::getline(in, line);) {
    const auto equals = line.find('=');
    if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return values;
}

}  // namespace

TdsStandIn::TdsStandIn() {
  auto state = ReadState();
  if (state["TDS_PORT"].empty() || state["CONTROL_PORT"].empty()) {
    ADD_FAILURE() << "the TDS stand-in is not running: run the tests with ctest, whose fixture "
                     "TdsStandIn.Start starts it";
    return;
  }
  port_ = std::atoi(state["TDS_PORT"].c_str());
  control_port_ = std::atoi(state["CONTROL_PORT"].c_str());
  Reset("SQL_Latin1_General_CP1_CI_AS");
}

std::string TdsStandIn::ConnectionString(const std::string& extra) const {
  return "Provider=SQLOLEDB.1;Data Source=127.0.0.1," + std::to_string(port_) +
         ";Initial Catalog=VXSystem;User ID=agendia;Password=" + kPassword + extra;
}

std::vector<std::string> TdsStandIn::Control(const std::string& command) const {
  std::vector<std::string> lines;
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(uint16_t(control_port_));
  if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (fd >= 0) ::close(fd);
    ADD_FAILURE() << "cannot reach the stand-in's control port for: " << command;
    return lines;
  }
  const std::string request = command + "\n";
  (void)::send(fd, request.data(), request.size(), 0);
  std::string answer;
  char buffer[4096];
  for (ssize_t got; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, size_t(got));
  ::close(fd);
  std::istringstream in(answer);
  std::string first;
  std::getline(in, first);
  if (first != "ok") {
    ADD_FAILURE() << "the stand-in refused '" << command << "': " << first;
    return lines;
  }
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string TdsStandIn::Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '|': out += "\\|"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace agendia::testing
