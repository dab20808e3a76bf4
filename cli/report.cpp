#include "cli/report.h"

namespace refloq::cli {

std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return line;
}

Reporter::Reporter(std::ostream& out, std::ostream& err, bool json)
    : out_(out), err_(err), json_(json) {}

void Reporter::WriteJson(const nlohmann::json& object) {
  // Texts from a language library might hold bytes that are not UTF-8;
  // replacing them keeps every line valid JSON instead of throwing.
  out_ << object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
       << '\n'
       << std::flush;
}

void Reporter::Row(std::string_view address, std::string_view text,
                   nlohmann::json fields) {
  std::lock_guard lock(mutex_);
  if (json_) {
    nlohmann::json object = {{"address", address}, {"text", text}};
    object.update(fields);
    WriteJson(object);
  } else {
    out_ << address << '\t' << OneLine(text) << '\n' << std::flush;
  }
}

void Reporter::Result(std::string_view text, nlohmann::json fields) {
  std::lock_guard lock(mutex_);
  if (json_) {
    WriteJson(fields);
  } else {
    out_ << text << '\n' << std::flush;
  }
}

void Reporter::Message(std::string_view text, nlohmann::json fields) {
  std::lock_guard lock(mutex_);
  if (json_) {
    nlohmann::json object = {{"message", text}};
    object.update(fields);
    WriteJson(object);
  } else {
    err_ << OneLine(text) << '\n' << std::flush;
  }
}

void Reporter::Error(std::string_view kind, std::string_view message) {
  std::lock_guard lock(mutex_);
  err_ << "refloq-cli: " << message << '\n' << std::flush;
  if (json_) WriteJson({{"error", kind}, {"message", message}});
}

void Reporter::Event(const nlohmann::json& object) {
  if (!json_) return;
  std::lock_guard lock(mutex_);
  WriteJson(object);
}

void Reporter::WriteRaw(std::string_view text) {
  std::lock_guard lock(mutex_);
  out_ << text << std::flush;
}

}  // namespace refloq::cli
