#pragma once
// The output of every command, in one of two forms: text lines for people
// (ADDRESS<TAB>TEXT on standard output, messages on standard error), or,
// with --json, one JSON object per line on standard output for scripts.
// The text lines may change between versions; the JSON fields are stable.
// Safe to call from several threads: each line is written whole.
#include <mutex>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>

namespace refloq::cli {

class Reporter {
 public:
  Reporter(std::ostream& out, std::ostream& err, bool json);
  Reporter(const Reporter&) = delete;
  Reporter& operator=(const Reporter&) = delete;

  bool json() const { return json_; }

  // One scanner's line: ADDRESS<TAB>TEXT (line breaks inside the text become
  // spaces so that one scanner's line stays one line), or the object
  // {"address", "text", ...fields}.
  void Row(std::string_view address, std::string_view text,
           nlohmann::json fields = nlohmann::json::object());
  // A line that stands for the whole command, such as the payload of the
  // firmware: JSON mode writes the object; text mode writes `text`.
  void Result(std::string_view text, nlohmann::json fields);
  // A closing message as the window would show it in a message box: standard
  // error in text mode, {"message": text, ...fields} in JSON mode.
  void Message(std::string_view text,
               nlohmann::json fields = nlohmann::json::object());
  // Why the command could not run: "refloq-cli: message" on standard error,
  // and in JSON mode also {"error": kind, "message": message}.
  void Error(std::string_view kind, std::string_view message);

  // An object for scripts only: written in JSON mode, nothing in text mode.
  void Event(const nlohmann::json& object);

  // Writes raw text to standard output under the output lock (the live
  // table).
  void WriteRaw(std::string_view text);

 private:
  void WriteJson(const nlohmann::json& object);

  std::ostream& out_;
  std::ostream& err_;
  const bool json_;
  std::mutex mutex_;
};

// One line of text: every line feed (and carriage return) becomes a space.
std::string OneLine(std::string_view text);

}  // namespace refloq::cli
