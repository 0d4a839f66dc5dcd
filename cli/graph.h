#pragma once

#include <string>

// The format a graph file name asks for by its extension: "dot", "svg" or
// "png"; null for any other name.
const char* GraphFormat(const std::string& file);

// The file the library writes the DOT text of a --graph request to: the
// graph file itself for a .dot name, else a temporary file that Draw renders
// with Graphviz's dot program. The temporary file goes with the object.
class GraphOutput {
 public:
  explicit GraphOutput(std::string file) : file_(std::move(file)) {}
  ~GraphOutput();
  GraphOutput(const GraphOutput&) = delete;
  GraphOutput& operator=(const GraphOutput&) = delete;

  // Chooses the DOT file, making a temporary one when needed; says why on
  // stderr when it cannot.
  bool Prepare();
  const char* DotPath() const { return dot_path_.c_str(); }
  // True when the graph file is a picture that Draw makes from the DOT file.
  bool NeedsDrawing() const { return temporary_; }
  // Runs dot on the DOT file; says why on stderr and removes what dot left
  // when it fails.
  bool Draw() const;

 private:
  std::string file_;
  std::string dot_path_;
  bool temporary_ = false;
};
