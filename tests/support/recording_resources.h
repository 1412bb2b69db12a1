#pragma once

// A resource library over the shipped texts that records every lookup and can
// be told to fail, for tests.

#include "resources/resource_library.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace agendia::testing {

struct ResourceLog {
  std::vector<std::pair<std::string, std::string>> lookups;  // key, language
  int factories_created = 0;
  int initialisations = 0;
  int service_requests = 0;
  // Failures to inject: the n-th call (counting from 0) of each kind fails.
  std::optional<int> fail_service_request;
  std::optional<int> fail_lookup;
  std::set<std::string> fail_keys;  // every lookup of these keys fails
};

std::shared_ptr<resources::ResourceLibrary> MakeRecordingResources(
    std::shared_ptr<ResourceLog> log, std::string directory = AGENDIA_TEST_RESOURCE_DIR);

}  // namespace agendia::testing
