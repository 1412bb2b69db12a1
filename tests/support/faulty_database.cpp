#include "support/faulty_database.h"

namespace agendia::testing {

Status DatabaseLog::Check(const std::string& entry, bool* carried_out) {
  calls.push_back(entry);
  if (carried_out) *carried_out = false;
  for (const Fault& fault : faults) {
    if (entry.rfind(fault.call_prefix, 0) != 0) continue;
    if (++seen_[fault.call_prefix] == fault.nth) {
      if (carried_out) *carried_out = fault.carried_out;
      return fault.failure;
    }
  }
  return Status::Ok();
}

int DatabaseLog::CountOf(const std::string& call_prefix) const {
  int count = 0;
  for (const std::string& call : calls) count += call.rfind(call_prefix, 0) == 0 ? 1 : 0;
  return count;
}

namespace {

class FaultyConnection final : public db::Connection {
 public:
  FaultyConnection(std::shared_ptr<db::Connection> inner, std::shared_ptr<DatabaseLog> log)
      : inner_(std::move(inner)), log_(std::move(log)) {
    ++log_->live_connections;
    ++log_->connections_created;
  }
  ~FaultyConnection() override { --log_->live_connections; }

  Status SetCommandTimeout(long seconds) override {
    AGENDIA_RETURN_IF_ERROR(log_->Check("Connection.SetCommandTimeout(" + std::to_string(seconds) + ")"));
    if (log_->command_timeout) {
      seconds = *log_->command_timeout;
    } else if (log_->command_timeout_cap && (seconds == 0 || seconds > *log_->command_timeout_cap)) {
      seconds = *log_->command_timeout_cap;
    }
    return inner_->SetCommandTimeout(seconds);
  }
  Status SetConnectionTimeout(long seconds) override {
    AGENDIA_RETURN_IF_ERROR(
        log_->Check("Connection.SetConnectionTimeout(" + std::to_string(seconds) + ")"));
    return inner_->SetConnectionTimeout(seconds);
  }
  Status Open(const std::string& connection_string) override {
    AGENDIA_RETURN_IF_ERROR(log_->Check("Connection.Open(" + connection_string + ")"));
    return inner_->Open(connection_string);
  }
  using db::Connection::Execute;
  Status Execute(const std::string& statement, long* records_affected) override {
    bool carried_out = false;
    const Status fault = log_->Check("Connection.Execute(" + statement + ")", &carried_out);
    if (fault.ok()) return inner_->Execute(statement, records_affected);
    if (carried_out) inner_->Execute(statement, records_affected).IgnoreError();
    return fault;
  }
  bool MayHaveBeenCarriedOut(const Status& failure) const override {
    return log_->server_answers ? db::AnswerMayBeLost(failure)
                                : inner_->MayHaveBeenCarriedOut(failure);
  }
  int State() const override { return inner_->State(); }
  Status Close() override {
    AGENDIA_RETURN_IF_ERROR(log_->Check("Connection.Close()"));
    return inner_->Close();
  }

  const std::shared_ptr<db::Connection>& inner() const { return inner_; }

 private:
  std::shared_ptr<db::Connection> inner_;
  std::shared_ptr<DatabaseLog> log_;
};

class FaultyRecordset final : public db::Recordset {
 public:
  FaultyRecordset(std::unique_ptr<db::Recordset> inner, std::shared_ptr<DatabaseLog> log)
      : inner_(std::move(inner)), log_(std::move(log)) {
    ++log_->live_recordsets;
  }
  ~FaultyRecordset() override { --log_->live_recordsets; }

  Status SetActiveConnection(std::shared_ptr<db::Connection> connection) override {
    AGENDIA_RETURN_IF_ERROR(log_->Check("Recordset.SetActiveConnection()"));
    auto* faulty = dynamic_cast<FaultyConnection*>(connection.get());
    // The inner recordset runs on the inner connection; the wrapper is kept
    // too, so the connection's lifetime is what the caller sees.
    active_ = connection;
    return inner_->SetActiveConnection(faulty != nullptr ? faulty->inner() : connection);
  }
  Status Open(const std::string& statement) override {
    AGENDIA_RETURN_IF_ERROR(log_->Check("Recordset.Open(" + statement + ")"));
    return inner_->Open(statement);
  }
  StatusOr<bool> EndOfFile() const override {
    Status fault = log_->Check("Recordset.EndOfFile()");
    if (!fault.ok()) return fault;
    return inner_->EndOfFile();
  }
  Status ReadValue(std::string_view column, db::FieldValue& value) const override {
    AGENDIA_RETURN_IF_ERROR(log_->Check("Recordset.ReadValue(" + std::string(column) + ")"));
    return inner_->ReadValue(column, value);
  }
  Status MoveNext() override {
    AGENDIA_RETURN_IF_ERROR(log_->Check("Recordset.MoveNext()"));
    return inner_->MoveNext();
  }
  int State() const override { return inner_->State(); }
  Status Close() override {
    AGENDIA_RETURN_IF_ERROR(log_->Check("Recordset.Close()"));
    return inner_->Close();
  }

 private:
  std::unique_ptr<db::Recordset> inner_;
  std::shared_ptr<DatabaseLog> log_;
  std::shared_ptr<db::Connection> active_;
};

class FaultyClient final : public db::Client {
 public:
  FaultyClient(std::shared_ptr<db::Client> inner, std::shared_ptr<DatabaseLog> log)
      : inner_(std::move(inner)), log_(std::move(log)) {}

  StatusOr<std::shared_ptr<db::Connection>> CreateConnection() override {
    if (log_->fail_create) return *log_->fail_create;
    auto inner = inner_->CreateConnection();
    if (!inner.ok()) return inner.status();
    return std::shared_ptr<db::Connection>(
        std::make_shared<FaultyConnection>(std::move(inner).value(), log_));
  }
  StatusOr<std::unique_ptr<db::Recordset>> CreateRecordset() override {
    if (log_->fail_create) return *log_->fail_create;
    auto inner = inner_->CreateRecordset();
    if (!inner.ok()) return inner.status();
    return std::unique_ptr<db::Recordset>(
        std::make_unique<FaultyRecordset>(std::move(inner).value(), log_));
  }

 private:
  std::shared_ptr<db::Client> inner_;
  std::shared_ptr<DatabaseLog> log_;
};

}  // namespace

std::shared_ptr<db::Client> MakeFaultyClient(std::shared_ptr<db::Client> inner,
                                             std::shared_ptr<DatabaseLog> log) {
  return std::make_shared<FaultyClient>(std::move(inner), std::move(log));
}

}  // namespace agendia::testing
