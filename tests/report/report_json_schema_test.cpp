// The JSON report against its published schema (docs/report-json.schema.json). The schema
// file is the contract; this small validator knows the keywords it uses and refuses any
// other, so the schema cannot promise what nothing checks.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>

#include "report/report_generator.h"
#include "tests/helpers/test_support.h"
#include "tests/report/report_test_support.h"

namespace tavrin::report {
namespace {

using Json = nlohmann::json;

class SchemaValidator {
 public:
  explicit SchemaValidator(Json schema) : root_(std::move(schema)) {}

  /// Every way `doc` breaks the schema, one line each ("/pages/0/key: ...").
  std::vector<std::string> Problems(const Json& doc) {
    problems_.clear();
    Check(root_, doc, "");
    return problems_;
  }

 private:
  static bool HasType(const Json& value, const std::string& type) {
    if (type == "object") return value.is_object();
    if (type == "array") return value.is_array();
    if (type == "string") return value.is_string();
    if (type == "number") return value.is_number();
    if (type == "integer") return value.is_number_integer();
    if (type == "boolean") return value.is_boolean();
    if (type == "null") return value.is_null();
    return false;
  }

  const Json& Resolve(const std::string& ref) {
    static const std::string kPrefix = "#/$defs/";
    if (ref.rfind(kPrefix, 0) != 0 || !root_["$defs"].contains(ref.substr(kPrefix.size()))) {
      static const Json kNothing = Json::object();
      problems_.push_back("unresolvable $ref " + ref);
      return kNothing;
    }
    return root_["$defs"][ref.substr(kPrefix.size())];
  }

  bool Valid(const Json& schema, const Json& value) {
    SchemaValidator inner(root_);
    inner.Check(schema, value, "");
    return inner.problems_.empty();
  }

  void Check(const Json& schema, const Json& value, const std::string& at) {
    static const std::set<std::string> kAnnotations = {"$schema", "$id", "title", "$defs"};
    for (const auto& [keyword, arg] : schema.items()) {
      if (kAnnotations.count(keyword)) continue;
      const auto fail = [&](const std::string& why) { problems_.push_back(at + ": " + why); };
      if (keyword == "$ref") {
        Check(Resolve(arg.get<std::string>()), value, at);
      } else if (keyword == "type") {
        bool any = false;
        for (const Json& t : arg.is_array() ? arg : Json::array({arg}))
          any = any || HasType(value, t.get<std::string>());
        if (!any) fail("is not of type " + arg.dump());
      } else if (keyword == "const") {
        if (value != arg) fail("is not " + arg.dump());
      } else if (keyword == "enum") {
        if (std::find(arg.begin(), arg.end(), value) == arg.end())
          fail(value.dump() + " not in enum");
      } else if (keyword == "pattern") {
        if (value.is_string() &&
            !std::regex_search(value.get<std::string>(), std::regex(arg.get<std::string>())))
          fail(value.dump() + " does not match " + arg.get<std::string>());
      } else if (keyword == "required") {
        if (value.is_object())
          for (const Json& name : arg)
            if (!value.contains(name.get<std::string>())) fail("lacks " + name.dump());
      } else if (keyword == "dependentRequired") {
        if (value.is_object())
          for (const auto& [name, needs] : arg.items())
            if (value.contains(name))
              for (const Json& other : needs)
                if (!value.contains(other.get<std::string>()))
                  fail(name + " without " + other.dump());
      } else if (keyword == "properties") {
        if (value.is_object())
          for (const auto& [name, sub] : arg.items())
            if (value.contains(name)) Check(sub, value[name], at + "/" + name);
      } else if (keyword == "additionalProperties") {
        if (value.is_object() && arg == false)
          for (const auto& [name, member] : value.items())
            if (!schema.contains("properties") || !schema["properties"].contains(name))
              fail("has unexpected member " + name);
      } else if (keyword == "items") {
        if (value.is_array())
          for (std::size_t i = 0; i < value.size(); ++i)
            Check(arg, value[i], at + "/" + std::to_string(i));
      } else if (keyword == "oneOf") {
        int matches = 0;
        for (const Json& alternative : arg) matches += Valid(alternative, value);
        if (matches != 1) fail("matches " + std::to_string(matches) + " of oneOf, not 1");
      } else {
        fail("schema keyword " + keyword + " is not supported by this validator");
      }
    }
  }

  Json root_;
  std::vector<std::string> problems_;
};

Json SchemaFile() {
  std::ifstream in(std::string(TAVRIN_SOURCE_DIR) + "/docs/report-json.schema.json");
  EXPECT_TRUE(in) << "docs/report-json.schema.json is missing";
  return Json::parse(in);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

class ReportJson : public ::testing::Test {
 protected:
  void SetUp() override {
    services_ = test::ReplayedSnapshot();
    ASSERT_TRUE(services_);
    test::FillPagesFromSnapshot(controller_, *services_);
    generator_.SetFixedHeader(test::FixedHeader(*services_));
    RegisterReportPages(generator_, controller_);
  }
  Json Report() { return Json::parse(generator_.RenderReport(ReportKind::Json)); }

  helpers::test::TempFolder tmp_;
  helpers::test::IsolatedUser user_{tmp_.path()};
  std::shared_ptr<const platform::Services> services_;
  gather::TGetFunctionsClass controller_;
  TReportGenerator generator_{controller_, (tmp_ / "SysInfo").string()};
  SchemaValidator validator_{SchemaFile()};
};

TEST_F(ReportJson, PlainAndMaskedReportsValidateAgainstTheSchema) {
  EXPECT_EQ(Joined(validator_.Problems(Report())), "");
  generator_.SetMask(true);
  EXPECT_EQ(Joined(validator_.Problems(Report())), "");
}

TEST_F(ReportJson, TheValidatorCatchesWhatTheSchemaForbids) {
  Json doc = Report();
  doc["version"] = 3;
  doc["pages"][0]["sections"][0]["id"] = "General Information:";
  doc["pages"][0]["sections"][0]["rows"][0].erase("id");
  doc["pages"][0]["sections"][0]["rows"][0]["unit"] = "bytes";  // a unit without a value
  doc["header"]["generated"] = "01/15/26 09:30:00";
  doc["extra"] = true;
  const std::string problems = Joined(validator_.Problems(doc));
  for (const char* expected : {"/version: is not 2", "/pages/0/sections/0/id: \"General",
                               "/pages/0/sections/0/rows/0: matches 0 of oneOf",
                               "/header/generated: \"01/15/26", ": has unexpected member extra"})
    EXPECT_NE(problems.find(expected), std::string::npos) << expected << " in\n" << problems;
}

TEST_F(ReportJson, RowsCarryIdsTextRawQuantitiesProvenanceAndReasons) {
  const Json doc = Report();
  EXPECT_EQ(doc["header"]["generated"], "2026-01-15T09:30:00+00:00");
  const Json& general = doc["pages"][0];
  EXPECT_EQ(general["key"], "generalinfo");
  const Json& hardware = general["sections"][1];
  EXPECT_EQ(hardware["id"], "hardware");
  const Json& memory = hardware["rows"][1];
  EXPECT_EQ(memory["id"], "installed_memory");
  EXPECT_EQ(memory["text"], "16.00 GB");
  EXPECT_EQ(memory["value"], 17179869184ull);
  EXPECT_EQ(memory["unit"], "bytes");
  EXPECT_EQ(memory["source"], "/proc/meminfo");
  EXPECT_EQ(general["sections"][2]["empty_reason"], "Not gathered yet by this version");

  const Json& user = doc["pages"][1]["sections"][1];
  EXPECT_EQ(user["id"], "user_information");
  const Json* missing = nullptr;
  for (const Json& row : user["rows"])
    if (row["id"] == "install_date") missing = &row;
  ASSERT_NE(missing, nullptr) << user.dump(2);
  EXPECT_TRUE((*missing)["text"].is_null());
  EXPECT_TRUE((*missing)["value"].is_null());
  EXPECT_NE((*missing)["reason"].get<std::string>().find("/var/log/installer"), std::string::npos);
}

TEST_F(ReportJson, IdsStayTheSameWhenTheCaptionsAreTranslated) {
  const Json english = Report();
  for (pages::Section& section : controller_.FindPage("wininfo")->Sections())
    section.Caption = "Übersetzt:";
  const Json translated = Report();
  EXPECT_EQ(translated["pages"][1]["sections"][2]["caption"], "Übersetzt:");
  EXPECT_EQ(translated["pages"][1]["sections"][2]["id"], english["pages"][1]["sections"][2]["id"]);
  EXPECT_EQ(english["pages"][1]["sections"][2]["id"], "environment");
}

}  // namespace
}  // namespace tavrin::report
