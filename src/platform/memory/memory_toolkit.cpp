#include "platform/memory/memory_platform.h"

namespace agendia::platform::memory {

namespace {
class MemoryLease final : public UiRuntimeLease {
 public:
  explicit MemoryLease(int& live) : live_(live) { ++live_; }
  ~MemoryLease() override { --live_; }

 private:
  int& live_;
};
}  // namespace

MemoryToolkit::MemoryToolkit(std::shared_ptr<MemoryWindowSystem> windows)
    : window_system(std::move(windows)) {}

StatusOr<std::unique_ptr<UiRuntimeLease>> MemoryToolkit::AcquireRuntime() {
  if (fail_runtime) return *fail_runtime;
  return std::unique_ptr<UiRuntimeLease>(std::make_unique<MemoryLease>(live_leases));
}

StatusOr<std::unique_ptr<FormWindow>> MemoryToolkit::CreateForm(const FormDesign& design) {
  if (fail_create_form) return *fail_create_form;
  auto form = std::make_unique<MemoryFormWindow>(design, *this);
  last_form = form.get();
  ++forms_created;
  if (on_form_created) on_form_created(*form);
  return std::unique_ptr<FormWindow>(std::move(form));
}

void MemoryToolkit::MessageBox(const std::string& text, int style,
                               const std::optional<std::string>& caption) {
  MessageBoxCall call{text, style, caption, caption.value_or(kDefaultApplicationTitle)};
  if (on_message_box) on_message_box(call);
  message_boxes.push_back(std::move(call));
}

MemoryPlatform MakeMemoryPlatform(std::shared_ptr<resources::ResourceLibrary> resources,
                                  uint16_t system_lang_id,
                                  std::shared_ptr<db::Client> database) {
  MemoryPlatform result;
  result.window_system = std::make_shared<MemoryWindowSystem>();
  result.toolkit = std::make_shared<MemoryToolkit>(result.window_system);
  result.system_language = std::make_shared<MemorySystemLanguage>(system_lang_id);
  result.platform = std::make_shared<Platform>(Platform{
      result.window_system, result.toolkit, result.system_language, std::move(resources),
      std::move(database)});
  return result;
}

}  // namespace agendia::platform::memory
