#pragma once

#include <string>

// The format a graph file name asks for by its extension: "dot", "svg" or
// "png"; null for any other name.
const char* GraphFormat(const std::string& file);

// The file the library writes the DOT text of a --graph request to: the
// graph file itself, which the library compares with the script and every
// file it reads, as it does for every output. For a .svg or .png name Draw
// then renders the DOT text with Graphviz's dot program into the same name.
class GraphOutput {
 public:
  explicit GraphOutput(std::string file) : file_(std::move(file)) {}

  const char* DotPath() const { return file_.c_str(); }
  // True when the graph file is a picture that Draw makes from the DOT text.
  bool NeedsDrawing() const;
  // Runs dot on the DOT text in the graph file, which it replaces; says why
  // on stderr, and leaves no graph file, when it fails.
  bool Draw() const;

 private:
  std::string file_;
};
