// The history and the evidence beyond the protocol: one row per iteration that Python's csv
// module reads as documented, whatever way the iteration ended, and the transfer latencies'
// histogram.
#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "app/cycle_fixture.h"
#include "app/history_rows.h"
#include "app/iteration_history.h"
#include "app/latency_histogram.h"
#include "app/run_evidence.h"

using namespace zarvo;
using namespace zarvo::testing;

namespace {

std::string HostName() {
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    return host;
}

class History : public tCycleFixture {};

struct tRowsCase {
    const char* Name;
    std::int32_t Work;
    std::int32_t Period;
    // Polls until the cancel request, in the phase named; 0: none.
    const char* CancelIn;
    int CancelAfter;
    std::vector<const char*> Outcomes;
    bool WriteRated; // of the last row
};

} // namespace

// Catches a cancelled iteration leaving no row, a row per pass instead of per iteration,
// columns out of their documented order or form, and a rate shown for a write pass whose data
// never reached the server.
TEST_F(History, OneRowPerIterationAlsoWhenCancelled) {
    const tRowsCase cases[] = {
        {"two whole iterations", 3, 2, nullptr, 0, {"ok", "ok"}, true},
        {"cancelled while writing", 0, 0, "Запись", 3, {"cancelled"}, false},
        {"cancelled while reading", 0, 0, "Чтение", 3, {"cancelled"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::filesystem::remove(m_Work.Path() / "zarvo-history.csv");
        int polls = 0;
        gAnswer = cmdYes;
        gOnPoll = [&](tProgress& progress) {
            return c.CancelIn && EndsWith(progress.Text, Utf8ToCp866(c.CancelIn)) &&
                   ++polls == c.CancelAfter;
        };
        tNetworkTest test(Params(1, c.Work, c.Period));
        test.Run();
        nlohmann::json rows = HistoryRows(m_Work.Path());
        ASSERT_EQ(rows.size(), c.Outcomes.size()) << rows.dump();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const nlohmann::json& row = rows[i];
            EXPECT_EQ(row["outcome"], c.Outcomes[i]);
            EXPECT_EQ(row["iteration"], i + 1);
            EXPECT_EQ(row["host"], HostName());
            EXPECT_EQ(row["directory"], m_Server.Str());
            EXPECT_EQ(row["file_size"], kMegabyte);
            EXPECT_EQ(row["error_bytes"], 0);
            EXPECT_TRUE(row["first_mismatch_offset"].is_null());
        }
        const nlohmann::json& last = rows.back();
        EXPECT_EQ(!last["write_mb_s"].is_null(), c.WriteRated) << last.dump();
        if (c.Outcomes.back() == std::string("ok")) {
            EXPECT_EQ(last["write_bytes"], kMegabyte);
            EXPECT_EQ(last["read_bytes"], kMegabyte);
            for (const char* column : {"write_p50_ms", "write_p99_ms", "write_max_ms",
                                       "read_p50_ms", "read_p99_ms", "read_max_ms"})
                EXPECT_FALSE(last[column].is_null()) << column;
            EXPECT_LE(last["read_p50_ms"].get<double>(), last["read_p99_ms"].get<double>());
            EXPECT_LE(last["read_p99_ms"].get<double>(), last["read_max_ms"].get<double>());
        }
        ExpectNothingLeft();
    }
}

// Catches a directory name that breaks the row apart for a CSV reader, and a second heading
// written into a file that already has rows.
TEST_F(History, AwkwardDirectoryNameStaysOneField) {
    std::filesystem::path awkward = m_Server.Path() / "a,b \"c\"";
    std::filesystem::create_directory(awkward);
    for (int run = 0; run < 2; ++run) {
        tTestParams params = Params(0, kOneIterationWork, kOneIterationPeriod);
        params.Directory = Utf8ToCp866(awkward.string());
        tNetworkTest test(params);
        test.Run();
    }
    nlohmann::json rows = HistoryRows(m_Work.Path());
    ASSERT_EQ(rows.size(), 2u) << rows.dump();
    EXPECT_EQ(rows[1]["directory"], awkward.string());
    EXPECT_TRUE(rows[1]["write_p50_ms"].is_null()) << "an empty file has no transfers";
}

// Catches a row that cannot be written going unnoticed: the run must not look complete.
TEST_F(History, RowThatCannotBeWrittenIsAFailure) {
    std::filesystem::create_directory(m_Work.Path() / "zarvo-history.csv");
    tNetworkTest test(Params(1, kOneIterationWork, kOneIterationPeriod));
    EXPECT_EQ(test.Run(), tTestEnd::Stopped);
    ASSERT_EQ(gMessages.size(), 1u);
    EXPECT_EQ(gMessages[0].rfind("Не удалось записать историю zarvo-history.csv", 0), 0u)
        << gMessages[0];
    EXPECT_NE(Protocol().find("Прочитано 1 Мб"), std::string::npos) << "the entry is still written";
}

struct tQuantileCase {
    const char* Name;
    std::vector<std::uint64_t> Micros;
    double Q;
    std::uint64_t Low, High; // the answer's bounds
};

// Catches buckets that overlap or skip values, a quantile off by more than a bucket's width,
// and an answer above the largest time seen.
TEST(LatencyHistogram, QuantilesWithinOneBucket) {
    std::vector<std::uint64_t> ramp;
    for (std::uint64_t v = 1; v <= 100'000; ++v)
        ramp.push_back(v);
    const tQuantileCase cases[] = {
        {"nothing added", {}, 0.5, 0, 0},
        {"small times are exact", {3, 5, 7, 9}, 0.5, 5, 5},
        {"median of a ramp", ramp, 0.5, 50'000, 50'000 + 50'000 / 32},
        {"99th of a ramp", ramp, 0.99, 99'000, 99'000 + 99'000 / 32},
        {"top is the maximum", {10, 20, 1'000'003}, 1.0, 1'000'003, 1'000'003},
        {"one slow transfer among fast ones", {100, 100, 100, 5'000'000}, 0.5, 100, 103},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        tLatencyHistogram histogram;
        for (std::uint64_t v : c.Micros)
            histogram.Add(v);
        std::uint64_t q = histogram.Quantile(c.Q);
        EXPECT_GE(q, c.Low);
        EXPECT_LE(q, c.High);
    }
    for (std::uint64_t v = 0; v < 1'000'000; v += 7) {
        std::size_t bucket = tLatencyHistogram::Bucket(v);
        ASSERT_GE(tLatencyHistogram::TopOf(bucket), v) << "the bucket of " << v << " holds it";
        if (bucket > 0) {
            ASSERT_LT(tLatencyHistogram::TopOf(bucket - 1), v) << "and the one before does not";
        }
    }
}
