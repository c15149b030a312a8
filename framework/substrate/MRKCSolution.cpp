#include "framework/substrate/MRKCSolution.h"

#include <filesystem>
#include <nlohmann/json.hpp>

#include "framework/core/JSKFParse.h"
#include "framework/core/LLKFFiles.h"
#include "framework/substrate/MRKCModule.h"
#include "framework/substrate/MRKFTerms.h"

namespace {

using Json = nlohmann::ordered_json;

// Collects the first problem as "<file>: <entry>: <what>".
class Checker {
public:
  Checker(const std::string& path, std::string* error) : path_(path), error_(error) {}

  bool fail(const std::string& entry, const std::string& what) {
    if (error_) *error_ = path_ + ": " + (entry.empty() ? "" : entry + ": ") + what;
    return false;
  }

private:
  const std::string& path_;
  std::string* error_;
};

bool readString(const Json& object, const char* key, const std::string& where, std::string* out, Checker& check) {
  if (!object.contains(key)) return true;
  const Json& value = object[key];
  if (!value.is_string()) return check.fail(where + "." + key, "must be a string");
  *out = value.get<std::string>();
  return true;
}

bool readModules(const Json& json, MRKTSolution& solution, Checker& check) {
  if (!json.contains("modules")) return true;
  const Json& modules = json["modules"];
  if (!modules.is_array()) return check.fail("modules", "must be a list of module names or paths");
  for (size_t i = 0; i < modules.size(); ++i) {
    if (!modules[i].is_string() || modules[i].get_ref<const std::string&>().empty())
      return check.fail("modules[" + std::to_string(i) + "]", "must be a module name or path");
    // No file name holds one, and every message would end at it.
    if (modules[i].get_ref<const std::string&>().find('\0') != std::string::npos)
      return check.fail("modules[" + std::to_string(i) + "]", "must not contain a NUL character");
    solution.modules.push_back(modules[i].get<std::string>());
  }
  return true;
}

bool readConfigs(const Json& json, MRKTSolution& solution, Checker& check) {
  if (!json.contains("configs")) return true;
  const Json& configs = json["configs"];
  if (!configs.is_object()) return check.fail("configs", "must be an object");
  for (const auto& [key, value] : configs.items()) {
    if (key == "ttl") {
      if (!value.is_number() || !(value.get<double>() > 0))
        return check.fail("configs.ttl", "must be a number of seconds above 0");
      solution.ttl = value.get<float>();
    } else if (key == "pulse") {
      if (!value.is_number_unsigned() || value.get<uint64_t>() == 0 || value.get<uint64_t>() > UINT32_MAX)
        return check.fail("configs.pulse", "must be a whole number of milliseconds above 0");
      solution.pulse = value.get<uint32_t>();
    } else {
      return check.fail("configs." + key, "is not a config (ttl, pulse)");
    }
  }
  return true;
}

bool readConstants(const Json& json, MRKTSolution& solution, Checker& check) {
  if (!json.contains("constants")) return true;
  const Json& constants = json["constants"];
  if (!constants.is_object()) return check.fail("constants", "must be an object");
  for (const auto& [key, value] : constants.items()) {
    std::string reason;
    Ref<MRKBTerm> term = MRKFJSONDecodeTerm(value, kMRKJSONTerms, &reason);
    if (!term) return check.fail("constants." + key, reason);
    solution.constants.emplace_back(key, term);
  }
  return true;
}

bool readProcessor(const Json& entry, const std::string& where, MRKTSolution& solution, Checker& check) {
  if (!entry.is_object()) return check.fail(where, "must be an object");
  MRKTProcessorEntry processor;
  processor.where = where;
  for (const auto& [key, value] : entry.items())
    if (key != "class" && key != "guid" && key != "label" && key != "alias" && key != "properties")
      return check.fail(where + "." + key, "is not a processor key (class, guid, label, alias, properties)");
  if (!entry.contains("class")) return check.fail(where, "has no class");
  if (!readString(entry, "class", where, &processor.className, check) ||
      !readString(entry, "guid", where, &processor.guid, check) ||
      !readString(entry, "label", where, &processor.label, check) ||
      !readString(entry, "alias", where, &processor.alias, check))
    return false;
  if (processor.className.empty()) return check.fail(where + ".class", "must name a class");
  processor.properties = MRKCFrame::frame();
  if (entry.contains("properties")) {
    std::string reason;
    if (!entry["properties"].is_object()) return check.fail(where + ".properties", "must be an object");
    processor.properties = MRKFJSONDecodeFrame(entry["properties"], kMRKJSONTerms, &reason);
    if (!processor.properties) return check.fail(where + ".properties", reason);
  }
  if (processor.alias.empty())
    if (MRKCSymbol* alias = MRKFFrameFetchSymbol(processor.properties.get(), "alias")) processor.alias = alias->value();
  solution.processors.push_back(std::move(processor));
  return true;
}

}  // namespace

bool MRKFSolutionParse(const std::string& text, const std::string& path, MRKTSolution* solution, std::string* error) {
  Checker check(path, error);
  if (!solution) return check.fail("", "nowhere to read into");
  Json json;
  std::string problem;
  if (!JSKFParseOrdered(text, &json, JSKDuplicateKeys::refuse, &problem)) return check.fail("", problem);
  if (!json.is_object()) return check.fail("", "must hold a JSON object");
  MRKTSolution read;
  read.path = path;
  read.folder = std::filesystem::path(path).parent_path().string();
  for (const auto& [key, value] : json.items())
    if (key != "modules" && key != "configs" && key != "constants" && key != "processors")
      return check.fail(key, "is not a solution key (modules, configs, constants, processors)");
  if (!readModules(json, read, check) || !readConfigs(json, read, check) || !readConstants(json, read, check))
    return false;
  if (json.contains("processors")) {
    const Json& processors = json["processors"];
    if (!processors.is_array()) return check.fail("processors", "must be a list");
    for (size_t i = 0; i < processors.size(); ++i)
      if (!readProcessor(processors[i], "processors[" + std::to_string(i) + "]", read, check)) return false;
  }
  *solution = std::move(read);
  return true;
}

bool MRKFSolutionRead(const std::string& path, MRKTSolution* solution, std::string* error) {
  std::string text, reason;
  if (!LLKFReadFile(path.c_str(), text, &reason, kMRKSolutionFileLimit)) {
    if (error) *error = path + ": " + reason;
    return false;
  }
  return MRKFSolutionParse(text, path, solution, error);
}

bool MRKFSolutionCheck(const std::string& path, std::string* error) {
  MRKTSolution solution;
  if (!MRKFSolutionRead(path, &solution, error)) return false;
  for (size_t i = 0; i < solution.modules.size(); ++i)
    if (MRKCModule::resolve(solution.modules[i], solution.folder).empty()) {
      if (error) *error = path + ": modules[" + std::to_string(i) + "]: " + MRKCModule::notFound(solution.modules[i]);
      return false;
    }
  return true;
}
