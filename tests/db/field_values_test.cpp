#include "db/database.h"
#include "support/memo_database.h"
#include "support/sqlite_files.h"

#include <gtest/gtest.h>

#include <string>

namespace agendia::db {
namespace {

class DbFieldValues : public testing::MemoDatabaseTest {
 protected:
  void SetUp() override {
    testing::MemoDatabaseTest::SetUp();
    if (HasFatalFailure()) return;
    AddRow("'T1', 100, 'Title', NULL, 'demo', 'demo', '2024-03-01 09:30:00', 570, 0, 2, '001', 2024");
    AddRow("'T2', 100, X'410042', 'x', 'demo', 'demo', 'soon', 1.5, 1, 2, '', 2024");
    AddRow("'T3', 100, 'Only a date', 'x', 'demo', 'demo', '2024-02-29', -3, 0, 2, '001', 2024");
    AddRow("'T4', 100, 'No such day', 'x', 'demo', 'demo', '2023-02-29 10:00:00', 0, 0, 2, '001', 2024");
    AddRow("'T5', 100, 'Other form', 'x', 'demo', 'demo', '2024/3/1 9:05', 0, 0, 2, '001', 2024");
    AddRow("'T6', 100, 'Late', 'x', 'demo', 'demo', '2024-03-01 24:00:00', 0, 0, 2, '001', 2024");
    connection_ = Connect();
    ASSERT_NE(connection_, nullptr);
  }

  std::unique_ptr<Recordset> Memo(const std::string& id) {
    return Query(connection_, "select * from VXSystem..ZA_Message where cMsgID='" + id + "'");
  }

  std::shared_ptr<Connection> connection_;
};

FieldValue Integer(int64_t n) {
  FieldValue value;
  value.type = FieldValue::Type::kInteger;
  value.integer = n;
  return value;
}
FieldValue Real(double x) {
  FieldValue value;
  value.type = FieldValue::Type::kReal;
  value.real = x;
  return value;
}
FieldValue Text(std::string text) {
  FieldValue value;
  value.type = FieldValue::Type::kText;
  value.text = std::move(text);
  return value;
}
FieldValue DateTime(base::DateTime date_time, std::string text) {
  FieldValue value;
  value.type = FieldValue::Type::kDateTime;
  value.date_time = date_time;
  value.text = std::move(text);
  return value;
}

void ExpectSame(const FieldValue& actual, const FieldValue& expected) {
  EXPECT_EQ(int(actual.type), int(expected.type));
  EXPECT_EQ(actual.integer, expected.integer);
  EXPECT_EQ(actual.real, expected.real);
  EXPECT_EQ(actual.text, expected.text);
  EXPECT_EQ(actual.date_time, expected.date_time);
}

TEST_F(DbFieldValues, ComeOverWithTheTypesOfTheHostsClient) {
  struct Case {
    const char* id;
    const char* column;
    FieldValue expected;
  };
  const Case cases[] = {
      {"T1", "nMsgType", Integer(100)},
      {"T1", "cMsgTitle", Text("Title")},
      {"T1", "cMsgContent", FieldValue{}},
      {"T1", "dSend", DateTime({{2024, 3, 1}, 9, 30, 0}, "2024-03-01 09:30:00")},
      {"T1", "nValidDay", Integer(570)},
      {"T1", "Account", Text("001")},
      {"T1", "Year", Integer(2024)},
      {"T2", "cMsgTitle", Text(std::string("A\0B", 3))},
      {"T2", "dSend", Text("soon")},
      {"T2", "nValidDay", Real(1.5)},
      {"T2", "Account", Text("")},
      {"T3", "dSend", DateTime({{2024, 2, 29}, 0, 0, 0}, "2024-02-29")},
      {"T3", "nValidDay", Integer(-3)},
      {"T4", "dSend", Text("2023-02-29 10:00:00")},
      {"T5", "dSend", DateTime({{2024, 3, 1}, 9, 5, 0}, "2024/3/1 9:05")},
      {"T6", "dSend", Text("2024-03-01 24:00:00")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.id) + "." + c.column);
    std::unique_ptr<Recordset> rows = Memo(c.id);
    ASSERT_NE(rows, nullptr);
    ASSERT_FALSE(AtEnd(*rows));
    ExpectSame(ValueOf(*rows, c.column), c.expected);
  }
}

TEST_F(DbFieldValues, TextInAnyColumnDeclaredAsADateOrTimeComesAsADateTime) {
  const Status created = testing::RunSql(
      file(), "create table Kinds (a DATE, b timestamp, c SmallDateTime, d time, e TEXT, f);"
              "insert into Kinds values ('2024-03-01', '2024-03-01 10:00:00', '2024-03-01 10:00', "
              "'2024-03-01 10:00:01', '2024-03-01', '2024-03-01')");
  ASSERT_TRUE(created.ok()) << created.description();
  std::unique_ptr<Recordset> rows = Query(connection_, "select * from Kinds");
  ASSERT_NE(rows, nullptr);
  ExpectSame(ValueOf(*rows, "a"), DateTime({{2024, 3, 1}, 0, 0, 0}, "2024-03-01"));
  ExpectSame(ValueOf(*rows, "b"), DateTime({{2024, 3, 1}, 10, 0, 0}, "2024-03-01 10:00:00"));
  ExpectSame(ValueOf(*rows, "c"), DateTime({{2024, 3, 1}, 10, 0, 0}, "2024-03-01 10:00"));
  ExpectSame(ValueOf(*rows, "d"), DateTime({{2024, 3, 1}, 10, 0, 1}, "2024-03-01 10:00:01"));
  ExpectSame(ValueOf(*rows, "e"), Text("2024-03-01"));
  ExpectSame(ValueOf(*rows, "f"), Text("2024-03-01"));
}

TEST_F(DbFieldValues, AValueOverwritesEverythingOfTheOneBefore) {
  std::unique_ptr<Recordset> rows = Memo("T1");
  ASSERT_NE(rows, nullptr);
  FieldValue value;
  ASSERT_TRUE(rows->ReadValue("dSend", value).ok());
  ASSERT_TRUE(rows->ReadValue("nMsgType", value).ok());
  ExpectSame(value, Integer(100));
  ASSERT_TRUE(rows->ReadValue("cMsgContent", value).ok());
  ExpectSame(value, FieldValue{});
}

TEST_F(DbFieldValues, ReuseTheTextBufferOfTheCallersValue) {
  AddRow("'L1', 100, 'A title long enough to need its own buffer on the heap', NULL, 'demo', "
         "'demo', NULL, 0, 0, 0, '001', 2024");
  std::unique_ptr<Recordset> rows = Memo("L1");
  ASSERT_NE(rows, nullptr);
  FieldValue value;
  ASSERT_TRUE(rows->ReadValue("cMsgTitle", value).ok());
  const char* buffer = value.text.data();
  ASSERT_TRUE(rows->ReadValue("cReceiver", value).ok());
  EXPECT_EQ(value.text, "demo");
  EXPECT_EQ(value.text.data(), buffer);
  ASSERT_TRUE(rows->ReadValue("cMsgTitle", value).ok());
  EXPECT_EQ(value.text.data(), buffer);
}

TEST_F(DbFieldValues, ColumnNamesMatchWithoutRegardToLetterCase) {
  std::unique_ptr<Recordset> rows = Memo("T1");
  ASSERT_NE(rows, nullptr);
  for (int round = 0; round < 2; ++round) {
    for (const char* name : {"cMsgId", "cMsgID", "CMSGID", "cmsgid"}) {
      SCOPED_TRACE(name);
      ExpectSame(ValueOf(*rows, name), Text("T1"));
    }
    for (const char* name : {"year", "YEAR", "Year"}) {
      SCOPED_TRACE(name);
      ExpectSame(ValueOf(*rows, name), Integer(2024));
    }
  }
}

TEST_F(DbFieldValues, AnUnknownColumnIsNotFoundOnARowAndAtTheEnd) {
  std::unique_ptr<Recordset> rows = Memo("T1");
  ASSERT_NE(rows, nullptr);
  const std::string kNotFound =
      "Item cannot be found in the collection corresponding to the requested name or ordinal: ";
  for (int at_end = 0; at_end < 2; ++at_end) {
    SCOPED_TRACE(at_end);
    FieldValue value;
    for (const char* name : {"xyz", "cMsgI", "", "cMsgId "}) {
      const Status read = rows->ReadValue(name, value);
      EXPECT_EQ(read.code(), err::kItemNotFound);
      EXPECT_EQ(read.description(), kNotFound + "'" + name + "'");
    }
    if (!at_end) {
      ASSERT_TRUE(rows->MoveNext().ok());
    }
  }
  EXPECT_TRUE(AtEnd(*rows));
}

TEST_F(DbFieldValues, ThereIsNoCurrentRecordAtTheEnd) {
  const std::string kNoCurrentRecord =
      "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
      "requires a current record.";
  std::unique_ptr<Recordset> rows = Memo("T1");
  ASSERT_NE(rows, nullptr);
  ASSERT_FALSE(AtEnd(*rows));
  ASSERT_TRUE(rows->MoveNext().ok());
  EXPECT_TRUE(AtEnd(*rows));

  FieldValue value;
  const Status read = rows->ReadValue("cMsgTitle", value);
  EXPECT_EQ(read.code(), err::kNoCurrentRecord);
  EXPECT_EQ(read.description(), kNoCurrentRecord);
  const Status moved = rows->MoveNext();
  EXPECT_EQ(moved.code(), err::kNoCurrentRecord);
  EXPECT_EQ(moved.description(), kNoCurrentRecord);
  StatusOr<FieldValue> through_value = rows->Value("cMsgTitle");
  ASSERT_FALSE(through_value.ok());
  EXPECT_EQ(through_value.status().code(), err::kNoCurrentRecord);
  EXPECT_EQ(rows->State(), kStateOpen);
}

TEST_F(DbFieldValues, ASelectWithoutRowsStandsAtTheEnd) {
  std::unique_ptr<Recordset> rows = Memo("none");
  ASSERT_NE(rows, nullptr);
  EXPECT_TRUE(AtEnd(*rows));
  EXPECT_EQ(rows->State(), kStateOpen);
}

TEST_F(DbFieldValues, RowsComeInTheirOrderAndEndOnce) {
  EXPECT_EQ(ReadColumn(connection_, "select cMsgId from ZA_Message order by cMsgId desc", "CMSGID"),
            (std::vector<std::string>{"T6", "T5", "T4", "T3", "T2", "T1"}));
}

}  // namespace
}  // namespace agendia::db
