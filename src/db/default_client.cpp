#include "db/default_client.h"

#include "base/no_throw.h"
#include "db/backend_connection.h"
#include "db/backend_recordset.h"

namespace agendia::db {

namespace {

// Creates the objects closed; the backend is chosen only when a connection
// opens.
class BackendClient final : public Client {
 public:
  StatusOr<std::shared_ptr<Connection>> CreateConnection() override {
    return base::CallWithoutThrowing<StatusOr<std::shared_ptr<Connection>>>({},
        []() -> StatusOr<std::shared_ptr<Connection>> {
          return std::shared_ptr<Connection>(std::make_shared<BackendConnection>());
        });
  }
  StatusOr<std::unique_ptr<Recordset>> CreateRecordset() override {
    return base::CallWithoutThrowing<StatusOr<std::unique_ptr<Recordset>>>({},
        []() -> StatusOr<std::unique_ptr<Recordset>> {
          return std::unique_ptr<Recordset>(std::make_unique<BackendRecordset>());
        });
  }
};

}  // namespace

std::shared_ptr<Client> MakeDefaultClient() { return std::make_shared<BackendClient>(); }

}  // namespace agendia::db
