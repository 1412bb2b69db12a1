#pragma once

#include <agendia/status.h>

#include <cstdint>
#include <memory>
#include <string>

namespace agendia::resources {

// Looks texts up by resource key and language code.
class ResourceService {
 public:
  virtual ~ResourceService() = default;
  // The text of `key` in `language`. The language code is compared without
  // regard to letter case. A language the library has no texts for falls
  // back to "en-us"; a key the library does not know returns the key itself.
  // Fails when the texts of the language cannot be read, naming the file.
  virtual StatusOr<std::string> GetString(const std::string& key,
                                          const std::string& language) = 0;
};

// Hands out the resource service.
class ResourceFactory {
 public:
  virtual ~ResourceFactory() = default;
  // Prepares the factory; `flags` is 0. Callers do not rely on the result.
  virtual Status Initialize(int32_t flags) = 0;
  // The service. A factory may be asked again after a failure.
  virtual StatusOr<std::shared_ptr<ResourceService>> GetResourceService() = 0;
};

// The resource library as a whole: it creates factories.
class ResourceLibrary {
 public:
  virtual ~ResourceLibrary() = default;
  // Fails when the library is not installed.
  virtual StatusOr<std::unique_ptr<ResourceFactory>> CreateResourceFactory() = 0;
};

// The library that reads "<directory>/<language>.txt" for the languages
// zh-cn, zh-tw and en-us. Each file holds "key=text" lines in UTF-8; blank
// lines and lines that start with '#' are skipped, "\n" in a text stands for a
// line break. The files are read on first use of each language.
std::shared_ptr<ResourceLibrary> MakeFileResourceLibrary(std::string directory);

}  // namespace agendia::resources
