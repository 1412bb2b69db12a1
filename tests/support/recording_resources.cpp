#include "support/recording_resources.h"

namespace agendia::testing {

namespace {

class RecordingService final : public resources::ResourceService {
 public:
  RecordingService(std::shared_ptr<resources::ResourceService> inner, std::shared_ptr<ResourceLog> log)
      : inner_(std::move(inner)), log_(std::move(log)) {}
  StatusOr<std::string> GetString(const std::string& key, const std::string& language) override {
    int index = static_cast<int>(log_->lookups.size());
    log_->lookups.emplace_back(key, language);
    if ((log_->fail_lookup && *log_->fail_lookup == index) || log_->fail_keys.count(key) != 0) {
      return Status::Fail("Injected lookup failure for " + key);
    }
    return inner_->GetString(key, language);
  }

 private:
  std::shared_ptr<resources::ResourceService> inner_;
  std::shared_ptr<ResourceLog> log_;
};

class RecordingFactory final : public resources::ResourceFactory {
 public:
  RecordingFactory(std::unique_ptr<resources::ResourceFactory> inner, std::shared_ptr<ResourceLog> log)
      : inner_(std::move(inner)), log_(std::move(log)) {}
  Status Initialize(int32_t flags) override {
    ++log_->initialisations;
    return inner_->Initialize(flags);
  }
  StatusOr<std::shared_ptr<resources::ResourceService>> GetResourceService() override {
    int index = log_->service_requests++;
    if (log_->fail_service_request && *log_->fail_service_request == index) {
      return Status::Fail("Injected service failure");
    }
    auto service = inner_->GetResourceService();
    if (!service.ok()) return service.status();
    return std::shared_ptr<resources::ResourceService>(
        std::make_shared<RecordingService>(std::move(service).value(), log_));
  }

 private:
  std::unique_ptr<resources::ResourceFactory> inner_;
  std::shared_ptr<ResourceLog> log_;
};

class RecordingLibrary final : public resources::ResourceLibrary {
 public:
  RecordingLibrary(std::shared_ptr<resources::ResourceLibrary> inner, std::shared_ptr<ResourceLog> log)
      : inner_(std::move(inner)), log_(std::move(log)) {}
  StatusOr<std::unique_ptr<resources::ResourceFactory>> CreateResourceFactory() override {
    auto factory = inner_->CreateResourceFactory();
    if (!factory.ok()) return factory.status();
    ++log_->factories_created;
    return std::unique_ptr<resources::ResourceFactory>(
        std::make_unique<RecordingFactory>(std::move(factory).value(), log_));
  }

 private:
  std::shared_ptr<resources::ResourceLibrary> inner_;
  std::shared_ptr<ResourceLog> log_;
};

}  // namespace

std::shared_ptr<resources::ResourceLibrary> MakeRecordingResources(std::shared_ptr<ResourceLog> log,
                                                                   std::string directory) {
  return std::make_shared<RecordingLibrary>(resources::MakeFileResourceLibrary(std::move(directory)),
                                            std::move(log));
}

}  // namespace agendia::testing
