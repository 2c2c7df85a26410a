#include "tests/report/report_test_support.h"
#include "tests/support/row_context.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "helpers/accessors.h"
#include "helpers/librepgen/text_clean.h"
#include "pages/page_model.h"
#include "platform/recorded/snapshot.h"
#include "tests/support/golden.h"

namespace tavrin::report::test {
namespace {

namespace fs = std::filesystem;

// As a reader sees a report text: cleaned as the writers clean it, blanks collapsed.
std::string Collapsed(std::string_view raw) {
  const std::string text = helpers::CleanReportText(raw);
  std::string out;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
    if (blank) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string Line(const platform::Answer<std::string>& answer) {
  std::string text = answer.value_or("");
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

fs::path ReportFixtures() {
  return fs::path(TAVRIN_SOURCE_DIR) / "tests/fixtures/report";
}

std::shared_ptr<const platform::Services> ReplayedSnapshot() {
  platform::SnapshotOpen opened = platform::OpenSnapshot(ReportFixtures() / "snapshot");
  if (!opened.services) ADD_FAILURE() << opened.error;
  return opened.services ? std::make_shared<const platform::Services>(std::move(*opened.services))
                         : nullptr;
}

std::vector<std::string> SnapshotSecrets() {
  return {"rpt-box-7", "annika", "52:54:00:12:34:56", "SN-TAV-0042", "00330-80000-00000-AA123"};
}

void FillPagesFromSnapshot(gather::TGetFunctionsClass& controller,
                           const platform::Services& services) {
  using pages::AddItem;
  using pages::RowMeta;
  const RowMeta secret{platform::Provenance::Answered("snapshot"), true};
  const auto reg = [&](const char* name) {
    auto value = services.registry->ReadValue(
        platform::RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", name);
    return value ? value->AsString().value_or("") : std::string();
  };
  const std::string host = services.system->ComputerName().value_or("");
  const std::string user = services.system->UserName().value_or("");

  pages::Page& general = *controller.FindPage("generalinfo");
  AddItem(::tavrin::testing::RowsOf(controller), general, 0,
          "Operating System:", reg("ProductName"), "", false);
  AddItem(::tavrin::testing::RowsOf(controller), general, 0, "Computer Name:", host, "", false,
          secret);
  AddItem(::tavrin::testing::RowsOf(controller), general, 0, "User Name:", user, "logged on", false,
          secret);
  AddItem(::tavrin::testing::RowsOf(controller), general, 1,
          "Board:", Line(services.files->ReadFile("/sys/class/dmi/id/board_name")), "", false);
  // Section 2 (Software) stays empty on purpose.

  pages::Page& windows = *controller.FindPage("wininfo");
  AddItem(::tavrin::testing::RowsOf(controller), windows, 0, "Product ID:", reg("ProductId"), "",
          false, secret);
  AddItem(::tavrin::testing::RowsOf(controller), windows, 0, "Build:", reg("CurrentBuildNumber"),
          "", false);
  AddItem(::tavrin::testing::RowsOf(controller), windows, 1,
          "Registered Owner (as the registry keeps it):",
          reg("RegisteredOwner") + "\x01\x7F bad:\xC3\x28 end", "as typed at setup", false);
  // A host name inside a longer value is a secret only because its row says so.
  AddItem(::tavrin::testing::RowsOf(controller), windows, 1,
          "Fully Qualified Name:", Line(services.files->ReadFile("/etc/hostname")), "", false,
          secret);
  // A value the machine did not give: only the JSON report lists it, with the reason.
  AddItem(::tavrin::testing::RowsOf(controller), windows, 1, "Install Date:", "", "", false,
          RowMeta{platform::Provenance::Failure(platform::Status::PermissionDenied,
                                                "/var/log/installer"),
                  false});
  // A quantity: the text for people, the raw number and unit for scripts.
  AddItem(::tavrin::testing::RowsOf(controller), general, 1, "Installed Memory:", "16.00 GB", "",
          false,
          RowMeta{platform::Provenance::Answered("/proc/meminfo"), false,
                  pages::Quantity::Of(17179869184ull, pages::QuantityUnit::kBytes)});

  pages::Page& network = *controller.FindPage("networkinfo");
  AddItem(::tavrin::testing::RowsOf(controller), network, 0,
          "MAC Address:", Line(services.files->ReadFile("/sys/class/net/eth0/address")), "eth0",
          false, secret);

  pages::Page& cpu = *controller.FindPage("sysdevinfo");
  AddItem(::tavrin::testing::RowsOf(controller), cpu, 2, "System Serial Number:",
          Line(services.files->ReadFile("/sys/class/dmi/id/product_serial")), "", false, secret);

  // The device manager is never reported: a row here must not show up anywhere.
  pages::Page& devices = *controller.FindPage("devicesinfo");
  if (!devices.Sections().empty())
    AddItem(::tavrin::testing::RowsOf(controller), devices, 0,
            "Device Manager Row:", "never reported", "", false);
}

ReportHeader FixedHeader(const platform::Services& services) {
  ReportHeader h;
  h.program = "Tavrin Tavrin System Information";
  h.site = "https://www.tavrin.example/products/system-information/";
  h.generated = "01/15/26 09:30:00";
  h.user = services.system->UserName().value_or("");
  h.version = "0.0.0-test";
  h.winversion = "Windows 10 Pro";
  h.systemname = services.system->ComputerName().value_or("");
  h.processorname = "Tavrin Test CPU @ 3.00GHz";
  h.installedmemory = "16.00 GB";
  h.generated_iso = "2026-01-15T09:30:00+00:00";
  return h;
}

void ExpectGolden(const std::string& name, const std::string& actual) {
  EXPECT_TRUE(testing::MatchesGolden(ReportFixtures() / "golden" / name, actual));
}

std::string XmlProblem(const std::string& xml) {
  // Binding the report library loads libxml2; ask that copy rather than linking it here.
  helpers::ReportGenerator();
  void* lib = dlopen("libxml2.so.2", RTLD_NOW | RTLD_NOLOAD);
  if (!lib) return "libxml2 is not loaded";
  using Read = void* (*)(const char*, int, const char*, const char*, int);
  using Free = void (*)(void*);
  auto read = reinterpret_cast<Read>(dlsym(lib, "xmlReadMemory"));
  auto free_doc = reinterpret_cast<Free>(dlsym(lib, "xmlFreeDoc"));
  std::string problem;
  if (!read || !free_doc) {
    problem = "libxml2 has no xmlReadMemory";
  } else {
    constexpr int kNoErrorOutput = 1 << 5 | 1 << 6;  // XML_PARSE_NOERROR | XML_PARSE_NOWARNING
    void* doc =
        read(xml.data(), static_cast<int>(xml.size()), "report.xml", nullptr, kNoErrorOutput);
    if (doc)
      free_doc(doc);
    else
      problem = "not well-formed";
  }
  dlclose(lib);
  return problem;
}

std::vector<std::string> XmlVisibleTexts(const ReportDocument& doc) {
  std::vector<std::string> texts;
  for (const ReportPage& page : doc.pages)
    for (const ReportSection& section : page.sections) {
      texts.push_back(Collapsed(section.title));
      if (!section.HasShownRows()) texts.push_back(Collapsed(section.empty_reason));
      for (const ReportRow& row : section.items)
        if (!row.missing)
          for (const std::string* field : {&row.name, &row.param, &row.advanced})
            if (!Collapsed(*field).empty()) texts.push_back(Collapsed(*field));
    }
  return texts;
}

std::string HtmlVisibleText(const std::string& html) {
  std::string text;
  bool in_tag = false;
  for (std::size_t i = 0; i < html.size(); ++i) {
    const char c = html[i];
    if (in_tag) {
      if (c == '>') {
        in_tag = false;
        text += ' ';
      }
      continue;
    }
    if (c == '<') {
      // The style sheet is not visible text.
      if (html.compare(i, 6, "<style") == 0) {
        i = html.find("</style>", i);
        if (i == std::string::npos) break;
      }
      in_tag = true;
      continue;
    }
    if (c == '&') {
      static const std::pair<std::string_view, char> kEntities[] = {
          {"&amp;", '&'},  {"&lt;", '<'},   {"&gt;", '>'},
          {"&quot;", '"'}, {"&#39;", '\''}, {"&nbsp;", ' '}};
      bool decoded = false;
      for (const auto& [entity, ch] : kEntities)
        if (html.compare(i, entity.size(), entity) == 0) {
          text += ch;
          i += entity.size() - 1;
          decoded = true;
          break;
        }
      if (decoded) continue;
    }
    text += c;
  }
  return Collapsed(text);
}

std::string CommandOutput(const std::string& command, int* exitCode) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  if (exitCode) *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

bool HaveCommand(const std::string& name) {
  int rc = -1;
  CommandOutput("command -v " + name + " >/dev/null 2>&1", &rc);
  return rc == 0;
}

}  // namespace tavrin::report::test
