// The storage interface itself, on both databases: what a migration, a race
// for a token and the ranking rely on.
#include <gtest/gtest.h>

#include "server/storage.h"
#include "server_harness.h"

namespace server_test {
namespace {

class StorageTest : public ::testing::TestWithParam<DatabaseKind> {
 protected:
  StorageTest() : database_(GetParam()), storage_(OpenStorage(database_.Url())) {}
  NewRun Run(const std::string& token, int32_t score) {
    storage_->AddToken(token, 7, 1000);
    NewRun run;
    run.token = token;
    run.name = "n" + token;
    run.score = score;
    run.seed = 7;
    run.replay = {1, 2, 3, 0, 255};
    return run;
  }
  TestDatabase database_;
  std::unique_ptr<Storage> storage_;
};

TEST_P(StorageTest, TheSchemaIsVersionedAndANewerOneIsLeftAlone) {
  EXPECT_EQ(database_.Query("SELECT version FROM schema_version"), std::to_string(kSchemaVersion));
  ASSERT_TRUE(storage_->AcceptRun(Run("a", 10), 2000));
  storage_.reset();
  storage_ = OpenStorage(database_.Url());  // opened again: nothing migrated twice, nothing lost
  EXPECT_EQ(storage_->BestRuns(10, 0).size(), 1u);
  storage_.reset();
  database_.Execute("UPDATE schema_version SET version = " + std::to_string(kSchemaVersion + 1));
  try {
    OpenStorage(database_.Url());
    ADD_FAILURE() << "a database of a newer schema was opened";
  } catch (const StorageError& e) {
    EXPECT_NE(std::string(e.what()).find("schema version"), std::string::npos) << e.what();
  }
}

TEST_P(StorageTest, ATokenIsSpentByItsRunOrItsThirdRefusal) {
  const NewRun run = Run("a", 10);
  EXPECT_FALSE(storage_->FindToken("a")->spent);
  const auto accepted = storage_->AcceptRun(run, 2000);
  ASSERT_TRUE(accepted);
  EXPECT_TRUE(storage_->FindToken("a")->spent);
  EXPECT_FALSE(storage_->AcceptRun(run, 2001));

  storage_->AddToken("c", 9, 1000);
  for (int i = 1; i <= kRefusalsPerToken; ++i) {
    EXPECT_FALSE(storage_->FindToken("c")->spent);
    storage_->CountRefusal("c");
    EXPECT_EQ(storage_->FindToken("c")->refusals, i);
  }
  EXPECT_TRUE(storage_->FindToken("c")->spent);
  EXPECT_EQ(*storage_->ReplayOf(accepted->id), run.replay);
  EXPECT_FALSE(storage_->ReplayOf(accepted->id + 100));
}

TEST_P(StorageTest, RunsRankBestFirstAndAnEqualScoreByItsEarlierArrival) {
  EXPECT_EQ(storage_->AcceptRun(Run("late", 500), 3000)->rank, 1);
  EXPECT_EQ(storage_->AcceptRun(Run("early", 500), 2000)->rank, 1);
  EXPECT_EQ(storage_->AcceptRun(Run("best", 900), 4000)->rank, 1);
  EXPECT_EQ(storage_->AcceptRun(Run("low", 100), 5000)->rank, 4);
  const auto runs = storage_->BestRuns(10, 0);
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].name, "nbest");
  EXPECT_EQ(runs[1].name, "nearly");
  EXPECT_EQ(runs[2].name, "nlate");
  EXPECT_EQ(storage_->BestRuns(2, 2)[0].rank, 3);

  // Old unused tokens go; a run's token stays with it.
  storage_->AddToken("unused", 1, 1000);
  storage_->ForgetUnusedTokens(100000);
  EXPECT_FALSE(storage_->FindToken("unused"));
  EXPECT_TRUE(storage_->FindToken("best"));
  EXPECT_EQ(storage_->BestRuns(10, 0).size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, StorageTest, ::testing::Values(DatabaseKind::kSqlite));
INSTANTIATE_TEST_SUITE_P(Postgres, StorageTest, ::testing::Values(DatabaseKind::kPostgres));

}  // namespace
}  // namespace server_test
