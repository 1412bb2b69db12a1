// The demo portal's command line as a new user meets it.

#include "file_size_limit.h"
#include "portal_options.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

struct Parsed {
  std::optional<PortalOptions> options;
  QString message;
  int exit_code = -1;
};

Parsed Parse(std::vector<const char*> arguments) {
  QStringList list{QStringLiteral("/opt/bin/agendia-portal")};
  for (const char* argument : arguments) list << QString::fromUtf8(argument);
  Parsed parsed;
  parsed.options = ParsePortalOptions(list, parsed.message, parsed.exit_code);
  return parsed;
}

TEST(PortalOptionsTest, HelpNamesTheProgram) {
  const Parsed parsed = Parse({"--help"});
  EXPECT_FALSE(parsed.options);
  EXPECT_EQ(parsed.exit_code, 0);
  EXPECT_TRUE(parsed.message.startsWith("Usage: agendia-portal [options]")) << parsed.message.toStdString();
}

TEST(PortalOptionsTest, TheYearFollowsTheDayUnlessGiven) {
  EXPECT_EQ(Parse({"--day", "2019-12-31"}).options->year, "2019");
  EXPECT_EQ(Parse({"--year", "2030", "--day", "2019-12-31"}).options->year, "2030");
}

TEST(PortalOptionsTest, OnlyTheCalendarsLanguagesAreTakenInAnyLetterCase) {
  EXPECT_EQ(Parse({"--lang", "EN-US"}).options->language, "EN-US");
  const Parsed unknown = Parse({"--lang", "fr-fr"});
  EXPECT_FALSE(unknown.options);
  EXPECT_EQ(unknown.exit_code, 2);
  EXPECT_EQ(unknown.message,
            "--lang \"fr-fr\" is not a language of the calendar; it has zh-cn, zh-tw, en-us.");
}

TEST(PortalOptionsTest, TheDatabaseIsCreatedOnlyAtTheDefaultPlaceOrWithCreate) {
  EXPECT_TRUE(Parse({}).options->may_create_database);
  EXPECT_FALSE(Parse({"--db", "/tmp/typo/VXSystem.db"}).options->may_create_database);
  EXPECT_TRUE(Parse({"--db", "/tmp/new/VXSystem.db", "--create"}).options->may_create_database);
}

// In a child process, so that the limit and the signal stay there: a write
// past the file-size limit fails with EFBIG instead of killing the process.
TEST(FileSizeLimitTest, AWritePastTheLimitFailsInsteadOfEndingTheProcess) {
  char path[] = "/tmp/agendia-fsize-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    IgnoreFileSizeLimitSignal();
    const rlimit limit{1024, 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    const std::vector<char> block(4096, 'x');
    const ssize_t first = write(fd, block.data(), block.size());   // cut at the limit
    const ssize_t second = write(fd, block.data(), block.size());  // nothing more fits
    _exit(first == 1024 && second == -1 && errno == EFBIG ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  close(fd);
  unlink(path);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
