// Solutions: the probes load from a file, talk, and go away with a wipe; bad files name the file
// and the entry, leave nothing loaded and the substrate usable.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "framework/core/LLKBDecoder.h"
#include "framework/core/LLKBEncoder.h"
#include "framework/core/LLKFFiles.h"
#include "framework/substrate/MRKCClassRegistry.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCSolution.h"
#include "framework/substrate/ZRNBFUNRunner.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/substrate/Recorder.h"

namespace {

const std::string kFolder = ZRN_SOLUTIONS;

class SolutionTest : public ::testing::Test {
protected:
  Ref<Recorder> watch(std::initializer_list<const char*> labels) {
    Ref<Recorder> recorder = adoptRef(new Recorder({}));
    recorder->answerQueries = false;
    EXPECT_TRUE(substrate->attach(recorder.get(), false));
    for (const char* label : labels) EXPECT_TRUE(substrate->disclose(label, recorder->guid()));
    return recorder;
  }

  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
};

TEST_F(SolutionTest, ProbesExchangeSquibsQueriesAndReplies) {
  Ref<Recorder> watcher = watch({"news", "teller.seen", "oracle.seen"});
  std::string error;
  ASSERT_TRUE(substrate->load(kFolder + "/probes.json", &error)) << error;
  ASSERT_TRUE(watcher->waitForEvent("squib teller.seen [reply, oracle, [blue]]"));
  ASSERT_TRUE(watcher->waitForEvent("squib news [hello(1), \"quoted\", 2.5]"));
  ASSERT_TRUE(watcher->waitForEvent("squib oracle.seen [squib, news, [hello(1), \"quoted\", 2.5]]"));
  ASSERT_TRUE(watcher->waitForEvent("squib oracle.seen [query, oracle, ?oracle(colour(sky, X))]"));
  {
    auto oracles = substrate->processorsForLabel("oracle");
    ASSERT_EQ(oracles.size(), 1u);
    EXPECT_EQ(oracles[0]->alias(), "the oracle");
    EXPECT_FLOAT_EQ(oracles[0]->ttl(), 5.0f);
  }
  EXPECT_EQ(MRKFTermText(substrate->constants()->fetch<MRKBTerm>("probe.pattern").get()), "g(X)");

  substrate->wipe();
  EXPECT_EQ(substrate->processors().size(), 1u) << "only the watcher stays";
  EXPECT_FALSE(MRKCClassRegistry::shared().hasClass("ZRNCProbe")) << "the module is unloaded";
}

TEST_F(SolutionTest, AProcessorHeldAcrossAWipeKeepsItsModuleLoaded) {
  std::string error;
  ASSERT_TRUE(substrate->load(kFolder + "/probes.json", &error)) << error;
  auto held = substrate->processorsForLabel("oracle");
  ASSERT_EQ(held.size(), 1u);
  substrate->wipe();
  EXPECT_FALSE(held[0]->isAttached());
  EXPECT_TRUE(MRKCClassRegistry::shared().hasClass("ZRNCProbe")) << "unloading would leave it without code";
  held.clear();  // released safely: its code is still there
  substrate->wipe();
  EXPECT_FALSE(MRKCClassRegistry::shared().hasClass("ZRNCProbe")) << "unloaded once released";
}

TEST_F(SolutionTest, BadSolutionsNameFileAndEntryAndLeaveNothingLoaded) {
  struct Case {
    const char* file;
    const char* message;
  } cases[] = {
      {"unknown-class.json", "unknown-class.json: processors[1].class: unknown class ZRNCNoSuchProbe"},
      {"unknown-module.json", "unknown-module.json: modules[1]: module modNoSuchModule not found"},
      {"bad-property.json", "bad-property.json: processors[1].properties: \"answer\": term: expected"},
      {"not-json.json", "not-json.json: not JSON"},
      {"missing.json", "missing.json: cannot be read"},
      {"", "solutions/: is a folder"},
      {"twin-guid.json", "twin-guid.json: processors[1].guid: 6d1f0c1e-0000-4000-8000-000000000001 is already taken"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(substrate->load(kFolder + "/" + c.file, &error)) << c.file;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_TRUE(substrate->processors().empty()) << c.file;
    EXPECT_FALSE(MRKCClassRegistry::shared().hasClass("ZRNCProbe")) << c.file << ": module left loaded";
  }
  std::string error;
  EXPECT_TRUE(substrate->load(kFolder + "/probes.json", &error)) << "still usable: " << error;
  substrate->wipe();
}

// Runs the primitives named by the flashes it gets.
class Caller : public ZRNBFUNRunner {
public:
  Caller(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties)
      : ZRNBFUNRunner(std::move(guid), std::move(label), std::move(alias), std::move(properties)) {}
  void onReceivedFlash(MRKCFlash* flash, const std::string& source) override {
    start(MRKCList::listWithTerms({flash->functor()}).get());
  }
};
MRKTClassRegistrar<Caller> callerRegistrar("ZRNTestCaller");

// A pipe would block the load for ever and a device fill the memory: both are refused at once.
TEST_F(SolutionTest, OnlyRegularFilesAreRead) {
  const std::string pipe = testing::TempDir() + "solution-pipe-" + std::to_string(getpid());
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {pipe, std::string("/dev/zero")}) {
    std::string error;
    EXPECT_FALSE(substrate->load(path, &error));
    EXPECT_EQ(error, path + ": is not a regular file");
  }
  std::remove(pipe.c_str());
}

// "./libm.so.6" names the file in the working folder, never the system's library of that name.
TEST_F(SolutionTest, AModulePathIsLoadedExactlyAsResolved) {
  const std::filesystem::path folder =
      std::filesystem::path(testing::TempDir()) / ("modules-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  { std::ofstream(folder / "libm.so.6") << "not a library"; }
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  const std::string resolved = MRKCModule::resolve("./libm.so.6", "");
  std::string error;
  const bool loaded = substrate->loadModule("./libm.so.6", &error);
  std::filesystem::current_path(before);
  std::filesystem::remove_all(folder);
  EXPECT_EQ(resolved, (folder / "libm.so.6").lexically_normal().string());
  EXPECT_FALSE(loaded);
  EXPECT_NE(error.find("cannot load " + resolved + ": "), std::string::npos) << error;
}

TEST_F(SolutionTest, AWipeUnloadsNoModuleUnderAHookOfAnEarlierSolution) {
  Ref<Recorder> watcher = watch({"probe.holding"});
  std::string error;
  ASSERT_TRUE(substrate->load(kFolder + "/caller.json", &error)) << error;
  ASSERT_TRUE(substrate->load(kFolder + "/holder.json", &error)) << error;
  Ref<MRKCFunc> hold = MRKCFunc::funcWithLabel("probe.hold", MRKCList::list().get());
  substrate->flash(MRKCFlash::flashWithFunctor(hold.get()).get(), {"caller"});
  ASSERT_TRUE(watcher->waitForEvent("squib probe.holding []"));
  substrate->wipe();
  EXPECT_FALSE(substrate->constants()->objectForKey("probe.unloaded.under.hook"));
  EXPECT_FALSE(substrate->primitives()->objectForKey("probe.hold")) << "unloaded in the end";
}

// The demonstration solution followed by a NUL byte and junk is no solution: refused at the NUL.
TEST(SolutionParse, ANulByteAfterTheSolutionIsRefusedAtItsPlace) {
  std::string text, error;
  ASSERT_TRUE(LLKFReadFile(VESKO_DEMO_SOLUTION, text));
  MRKTSolution solution;
  ASSERT_TRUE(MRKFSolutionParse(text, "demo.json", &solution, &error)) << error;
  EXPECT_FALSE(solution.processors.empty());
  const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  ASSERT_TRUE(text.ends_with("\n"));
  text += std::string("\0", 1) + "junk";
  EXPECT_FALSE(MRKFSolutionParse(text, "demo.json", &solution, &error));
  EXPECT_NE(error.find("demo.json: not JSON at line " + std::to_string(lines + 1) + ", column 1: a NUL byte"),
            std::string::npos)
      << error;
}

// A solution file may be as large as the stated limit; one byte more is refused before it is read,
// naming the file and the limit.
TEST(SolutionParse, AFileLargerThanTheLimitIsRefusedNamingTheLimit) {
  TemporaryFolder folder;
  const std::string text = R"J({"processors": []})J", path = folder.file("large.json");
  for (size_t size : {kMRKSolutionFileLimit, kMRKSolutionFileLimit + 1}) {
    SCOPED_TRACE(size);
    std::ofstream(path, std::ios::trunc) << text << std::string(size - text.size(), ' ');
    ASSERT_EQ(std::filesystem::file_size(path), size);
    MRKTSolution solution;
    std::string error;
    const bool read = MRKFSolutionRead(path, &solution, &error);
    EXPECT_EQ(read, size <= kMRKSolutionFileLimit) << error;
    if (!read) {
      EXPECT_EQ(error, path + ": is larger than 8 MiB");
    }
  }
}

TEST(SolutionParse, ShapesAreChecked) {
  // Far deeper than any term may nest: refused, not a stack overflow.
  const std::string nested = R"J({"constants": {"k": )J" + std::string(200000, '[') + std::string(200000, ']') + "}}";
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {R"J([])J", "s.json: must hold a JSON object"},
      {R"J({"modulez": []})J", "s.json: modulez: is not a solution key"},
      {R"J({"modules": "modJUX"})J", "s.json: modules: must be a list"},
      {R"J({"modules": [3]})J", "s.json: modules[0]: must be a module name or path"},
      {R"J({"configs": {"ttl": -1}})J", "s.json: configs.ttl: must be a number of seconds above 0"},
      {R"J({"configs": {"pulse": 0.5}})J", "s.json: configs.pulse: must be a whole number"},
      {R"J({"configs": {"speed": 1}})J", "s.json: configs.speed: is not a config"},
      {R"J({"constants": {"k": {"$term": "[1,"}}})J", "s.json: constants.k: term: expected"},
      {R"J({"processors": {}})J", "s.json: processors: must be a list"},
      {R"J({"processors": [{"label": "x"}]})J", "s.json: processors[0]: has no class"},
      {R"J({"processors": [{"class": 7}]})J", "s.json: processors[0].class: must be a string"},
      {R"J({"processors": [{"class": "C", "label": ["x"]}]})J", "s.json: processors[0].label: must be a string"},
      {R"J({"processors": [{"class": "C", "properties": [1]}]})J",
       "s.json: processors[0].properties: must be an object"},
      {R"J({"processors": [{"class": "C", "colour": 1}]})J", "s.json: processors[0].colour: is not a processor key"},
      {nested.c_str(), "s.json: constants.k: [0]: [0]: "},
      {R"J({"modules": [], "modules": ["modJUX"]})J", "s.json: modules: is given twice"},
      {R"J({"processors": [{"class": "C"}, {"class": "C", "properties": {"size": 1, "size": 2}}]})J",
       "s.json: processors[1].properties.size: is given twice"},
      {R"J({"modules": ["modJUX\u0000trailing"]})J", "s.json: modules[0]: must not contain a NUL character"},
  };
  for (const auto& c : cases) {
    MRKTSolution solution;
    std::string error;
    EXPECT_FALSE(MRKFSolutionParse(c.text, "s.json", &solution, &error)) << c.text;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.text << " -> " << error;
  }
  MRKTSolution solution;
  std::string error;
  ASSERT_TRUE(MRKFSolutionParse(
      R"J({"processors": [{"class": "C", "label": "l", "properties": {"alias": "nick", "g": {"$term": "g(X)"}}}]})J",
      "s.json", &solution, &error))
      << error;
  ASSERT_EQ(solution.processors.size(), 1u);
  EXPECT_EQ(solution.processors[0].alias, "nick") << "the alias property names the alias";
  EXPECT_EQ(MRKFTermText(solution.processors[0].properties->fetchForLabel("g")), "g(X)");
}

}  // namespace

namespace {

class Plain : public MRKBProcessor {
public:
  Plain(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties)
      : MRKBProcessor(std::move(guid), std::move(label), std::move(alias), std::move(properties)) {}
};
MRKTClassRegistrar<Plain> plainRegistrar("ZRNTestPlain");

TEST(ClassRegistry, MakesByNameFromPartsManifestosAndCoders) {
  auto& registry = MRKCClassRegistry::shared();
  EXPECT_FALSE(registry.make("ZRNNoSuchClass", {}, "x", {}, nullptr));
  EXPECT_FALSE(registry.registerClass("ZRNTestPlain", [](auto&&...) { return Ref<MRKBProcessor>(); }))
      << "the first stays";

  Ref<MRKBTerm> properties = MRKCReader::reader()->readTermFromString(R"J({"alias": nick, "g": g(X, "s")})J");
  Ref<MRKCManifesto> manifesto = MRKCManifesto::manifestoWithLabel("plain", properties->asFrame());
  Ref<MRKBProcessor> made = registry.makeWithManifesto("ZRNTestPlain", manifesto.get());
  ASSERT_TRUE(made);
  EXPECT_EQ(made->label(), "plain");
  EXPECT_EQ(made->alias(), "nick");
  EXPECT_EQ(made->guid().size(), 36u);

  Ref<LLKBEncoder> encoder = LLKBEncoder::encoder();
  ASSERT_TRUE(made->encodeWithCoder(encoder.get()));
  Ref<LLKBDecoder> decoder = LLKBDecoder::decoderWithStream(encoder->stream().data(), encoder->stream().size());
  Ref<MRKBProcessor> again = registry.makeWithCoder("ZRNTestPlain", decoder.get());
  ASSERT_TRUE(again);
  EXPECT_EQ(again->guid(), made->guid());
  EXPECT_EQ(again->alias(), "nick");
  EXPECT_EQ(again->properties()->compareTo(made->properties()), 0);

  std::vector<uint8_t> cut(encoder->stream().begin(), encoder->stream().end() - 3);
  Ref<LLKBDecoder> shortStream = LLKBDecoder::decoderWithStream(cut.data(), cut.size());
  EXPECT_FALSE(registry.makeWithCoder("ZRNTestPlain", shortStream.get()));
}

}  // namespace
