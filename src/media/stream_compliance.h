#pragma once

#include <string>
#include <vector>

#include "media/stream_facts.h"

namespace vcd2 {

// One way in which a stream is no Video CD stream, and the command that
// makes one from it.
struct StreamProblem {
  std::string what;
  std::string advice;
};

std::vector<StreamProblem> FindStreamProblems(const std::string& path, const StreamFacts& facts);

// The report of --inspect: per property what a Video CD needs and what the
// file has, then each problem with its advice.
std::string DescribeStream(const std::string& path, const StreamFacts& facts,
                           const std::vector<StreamProblem>& problems);

// Warns once, naming the file, when an MPEG source the build accepts is not
// Video CD compliant.
void WarnIfNotCompliant(const std::string& path);

}  // namespace vcd2
