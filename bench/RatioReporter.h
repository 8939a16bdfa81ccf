#pragma once
// A console reporter that remembers each benchmark's time per iteration, so that the
// ratios of ours to a baseline (of the medians, when the runs are repeated) can be
// printed last.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qm::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                seconds_[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
    }
    // "ours / base (what) = ratio" for each pair that ran.
    void PrintRatios(const std::vector<std::pair<std::string, std::string>>& pairs, const std::string& what) const {
        for (const auto& [ours, base] : pairs) {
            const double a = Median(ours);
            const double b = Median(base);
            if (a > 0 && b > 0) std::cout << ours << " / " << base << " (" << what << ") = " << a / b << "\n";
        }
    }

private:
    double Median(const std::string& name) const {
        const auto found = seconds_.find(name);
        if (found == seconds_.end() || found->second.empty()) return 0;
        auto values = found->second;
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        return values[values.size() / 2];
    }
    std::map<std::string, std::vector<double>> seconds_;
};

}  // namespace qm::bench
