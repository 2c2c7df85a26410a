// Interfaces of the helper libraries (libhelper.so, libLocalizer.so and the later
// libcommonforms.so, libsettings.so, libRepLibrary.so).
//
// Every interface is reference counted: QueryInterface, AddRef and Release come first, then
// the interface's own operations in their fixed order. Libraries hand them out through their
// one export "GetInstance"; the program reaches them only through the accessors of
// helpers/accessors.h.
//
// Texts: where the Windows libraries pass UTF-16 strings, these interfaces pass UTF-8 in
// std::string / std::string_view. Program and libraries are built together by one compiler
// and one standard library, so the standard types are safe across the boundary; only the
// GetInstance entry point keeps the C form (UTF-16 GUID text, 32-bit flags).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace tavrin::helpers {

/// Interface identities in their "{...}" text form; compare them with SameGuid (any case).
namespace guid {
inline constexpr std::string_view kUnknown = "{00000000-0000-0000-C000-000000000046}";
inline constexpr std::string_view kHelper = "{5C9ABD04-59E8-4686-8E32-FF648BB7FDD5}";
inline constexpr std::string_view kOptions = "{6D84DC42-1982-4CEE-A37E-5DF3BD71C1AD}";
inline constexpr std::string_view kGlobals = "{E3B78765-F359-4D65-86A3-5FE2CA92922E}";
inline constexpr std::string_view kAbout = "{D3FA2696-984E-43EB-960B-21AEA2F7B5C9}";
inline constexpr std::string_view kVistaProgress = "{49D91A41-E120-4F39-AC40-7606ED9DB355}";
inline constexpr std::string_view kLocalizer = "{6F79FD80-41BF-42B9-80E7-D811CE73A0D6}";
inline constexpr std::string_view kSettings = "{EFD8173C-C76D-4A9A-87BF-359D2ED08AFD}";
inline constexpr std::string_view kReportGenerator = "{54C9E878-D667-4815-998D-F1282236CA55}";
}  // namespace guid

/// Results of QueryInterface, with the values COM gives them.
inline constexpr int32_t kQueryOk = 0;
inline constexpr int32_t kQueryNoInterface = static_cast<int32_t>(0x80004002u);
inline constexpr int32_t kQueryInvalidArgument = static_cast<int32_t>(0x80070057u);

/// Base of every helper interface. Not deleted through this type: Release ends the life.
class Unknown {
 public:
  /// On success stores an added reference as Unknown* in *object.
  virtual int32_t QueryInterface(std::string_view guid, void** object) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~Unknown() = default;
};

/// Owns one reference to an interface.
template <class T>
class Ref {
 public:
  Ref() = default;
  /// Takes over a reference the caller already owns (what GetInstance hands out).
  static Ref Adopt(T* p) {
    Ref r;
    r.p_ = p;
    return r;
  }
  /// Adds a reference of its own.
  static Ref Share(T* p) {
    if (p) p->AddRef();
    return Adopt(p);
  }
  Ref(const Ref& o) : p_(o.p_) {
    if (p_) p_->AddRef();
  }
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  Ref& operator=(Ref o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~Ref() { reset(); }

  void reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  /// Gives the reference back to the caller without releasing it.
  T* detach() { return std::exchange(p_, nullptr); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// --- helper.dll ---------------------------------------------------------------------------

/// Operating-system code that Linux reports: outside 4..9, so no administrator check applies.
inline constexpr int32_t kOSCodeLinux = 100;
/// GetArchitectureCode results.
inline constexpr uint32_t kArchitecture64 = 256;
inline constexpr uint32_t kArchitecture32 = 0;

/// FormatBytes modes, numbered as the pages pass them: the pages hand over numbers that are
/// already in their unit (a KB count, an exact byte count) with modes 0 and 2, byte counts to
/// be shown in KB with modes 1 and 3, in GB with mode 5, and let mode 4 choose the largest
/// unit (bytes, KB, MB, GB, TB in steps of 1024) that leaves a number of at least 1.
inline constexpr uint8_t kFormatExact = 0;
inline constexpr uint8_t kFormatKilobytes = 1;
inline constexpr uint8_t kFormatExactGrouped = 2;
inline constexpr uint8_t kFormatKilobytesWhole = 3;
inline constexpr uint8_t kFormatAuto = 4;
inline constexpr uint8_t kFormatGigabytes = 5;
inline constexpr uint8_t kFormatMegabytes = 6;
inline constexpr uint8_t kFormatTerabytes = 7;

/// Unit codes of GetInstalledMemory and GetFreeDiskSpace; an unknown code means bytes.
inline constexpr uint8_t kUnitBytes = 2;
inline constexpr uint8_t kUnitKilobytes = 3;
inline constexpr uint8_t kUnitMegabytes = 4;
inline constexpr uint8_t kUnitGigabytes = 5;
inline constexpr uint8_t kUnitTerabytes = 6;

class IHelper : public Unknown {
 public:
  virtual int32_t GetOSCode() = 0;
  virtual std::string GetOSName() = 0;
  /// Opens a web link or document with the desktop's handler, in the background.
  virtual void OpenLink(std::string_view link) = 0;
  virtual std::string GetDocumentsFolder() = 0;
  /// `size` as text: the integer part grouped by `thousandSeparator` every three digits,
  /// `decimals` digits after the decimal point ("," when the separator is "."; bytes never
  /// get decimals), a blank and the unit ("bytes", "KB", "MB", "GB", "TB") unless `flag` is
  /// nonzero, then `suffix`. FormatBytes(kFormatMegabytes, ",", 1294467072, 2, 0, "") gives
  /// "1,234.50 MB", and with kFormatAuto "1.21 GB"; FormatBytes(kFormatExactGrouped, ",", 16384,
  /// 0, 1, " KB") gives "16,384 KB".
  virtual std::string FormatBytes(uint8_t mode, std::string_view thousandSeparator, uint64_t size,
                                  int32_t decimals, int32_t flag, std::string_view suffix) = 0;
  virtual uint32_t GetArchitectureCode() = 0;
  virtual uint64_t GetInstalledMemory(uint8_t unit) = 0;
  /// Free space of the file system holding the user's home folder.
  virtual uint64_t GetFreeDiskSpace(uint8_t unit) = 0;
  virtual void CheckForUpdates() = 0;

 protected:
  ~IHelper() = default;
};

/// Root keys as the registry service names them; the Linux settings file holds only
/// HKEY_CURRENT_USER.
using RootKey = platform::RegRoot;

class IOptions : public Unknown {
 public:
  /// Chooses the key the options live in and forgets the options registered so far.
  virtual bool OpenKey(RootKey root, std::string_view path) = 0;
  /// Reads the registered options; false when the settings could not be used (defaults kept).
  virtual bool LoadOptions() = 0;
  /// Writes the options when one changed or no settings file exists yet.
  virtual bool SaveOptions() = 0;
  virtual void RegisterDefault(std::string_view name, std::string_view defaultText) = 0;
  virtual std::string ReadString(std::string_view name) = 0;
  virtual void WriteString(std::string_view name, std::string_view text) = 0;

 protected:
  ~IOptions() = default;
};

class IGlobals : public Unknown {
 public:
  virtual std::string GetCompanyName() = 0;
  virtual std::string GetProductName() = 0;
  virtual std::string GetProgramVersion() = 0;
  virtual std::string GetDataFolder() = 0;
  /// Key path under HKEY_CURRENT_USER, ending in a backslash.
  virtual std::string GetSettingsKeyRoot() = 0;
  virtual std::string GetProgramPageLink() = 0;
  virtual std::string GetCompanyPageLink() = 0;
  virtual std::string GetSupportPageLink() = 0;
  virtual std::string GetCurrentUserName() = 0;

 protected:
  ~IGlobals() = default;
};

// --- Localizer.dll ------------------------------------------------------------------------

struct LanguageInfo {
  std::string name;  ///< as the language calls itself ("Deutsch")
  std::string code;  ///< the first of its codes ("DEU"), what the "Language" option stores
  std::string file;  ///< file name in the language folder
};

class ILocalizer : public Unknown {
 public:
  /// Reads the language folder and chooses the file whose codes contain `languageCode`
  /// (any case). False when it falls back to the built-in English texts.
  virtual bool InitLocalizer(std::string_view languageFolder, std::string_view programFileName,
                             std::string_view languageCode) = 0;
  /// Translates a window's texts; `form` is the user interface's own window object.
  virtual void TranslateForm(void* form) = 0;
  /// The texts of a section of the language file as "key=value" lines, in file order.
  virtual std::vector<std::string> GetSectionTexts(std::string_view section) = 0;
  /// The label text of `key`: the language's, else the English default, else empty.
  virtual std::string GetText(std::string_view key) = 0;
  /// Overwrites `text` only when the language has a text for `key`.
  virtual void TranslateVar(std::string_view key, std::string& text) = 0;
  /// Code of the language in use ("DEU"; "ENU" for the built-in English).
  virtual std::string GetLanguage() = 0;
  /// The well-formed language files of the folder, sorted by name.
  virtual std::vector<LanguageInfo> ListLanguages() = 0;

 protected:
  ~ILocalizer() = default;
};

// --- commonforms.dll, settings.dll (libraries of later work) -------------------------------

class IAbout : public Unknown {
 public:
  /// Modal About window with the named image (a file beside the program; a built-in
  /// picture when it is missing). The reserved arguments are 0.
  virtual void ShowAbout(int32_t reserved1, int32_t reserved2, std::string_view imageName) = 0;

 protected:
  ~IAbout() = default;
};

/// The progress window of gathering on the main thread. Every call lets the window repaint,
/// since the caller keeps the main thread busy between calls.
class IVistaProgress : public Unknown {
 public:
  /// Shows the window with the main text and a detail line; the further arguments are the
  /// 0, 0, 1 the program passes (reserved).
  virtual void Open(std::string_view text, std::string_view detail, int32_t arg1, int32_t arg2,
                    int32_t arg3) = 0;
  virtual void SetPosition(int32_t position) = 0;
  virtual void SetMax(int32_t maximum) = 0;
  /// Rich text with <b> tags, as the gathering texts are.
  virtual void SetText(std::string_view text) = 0;
  virtual void Close() = 0;

 protected:
  ~IVistaProgress() = default;
};

class ISettings : public Unknown {
 public:
  using ApplyCallback = void (*)();
  /// The services the window reads and writes: the languages to offer and the "Language"
  /// option. Called once before ShowSettings; both stay owned by the program.
  virtual void Attach(ILocalizer* localizer, IOptions* options) = 0;
  /// Modal settings window; `owner` is the user interface's main window object (a QWidget*).
  /// A changed language is stored in the options and used from the next start on; `apply`
  /// runs when the user confirms.
  virtual void ShowSettings(void* owner, ApplyCallback apply) = 0;

 protected:
  ~ISettings() = default;
};

// --- RepLibrary.dll -----------------------------------------------------------------------
//
// The generator makes one report object per base file name; the report object hands out its
// three writers. Writers share the life of their report object: their AddRef and Release
// count the report object's references.

/// Outcome of writing a report file. On failure `fileName` still names the file that could
/// not be written and `error` says why; an earlier file of that name is left as it was.
struct ReportSaveResult {
  bool ok = false;
  std::string fileName;
  std::string error;
};

/// Builds the XML document (UTF-8). Every text may be any byte sequence: invalid UTF-8 is
/// replaced by U+FFFD and control characters are dropped, so the document stays well-formed.
class IReportXmlWriter : public Unknown {
 public:
  /// Writes base file name + ".xml".
  virtual ReportSaveResult Save() = 0;
  /// Starts a new document whose document element is "report"; the previous one is dropped.
  virtual void BeginDocument() = 0;
  /// Opens a child of the innermost open element. False for a name that is not a plain
  /// ASCII XML name, or before BeginDocument.
  virtual bool OpenElement(std::string_view name) = 0;
  /// Closes the innermost open element; false when `name` is not that element.
  virtual bool CloseElement(std::string_view name) = 0;
  /// Adds a child element holding `text` to the innermost open element.
  virtual bool WriteElement(std::string_view name, std::string_view text) = 0;
  /// Writes exactly `fileName`.
  virtual ReportSaveResult SaveAs(std::string_view fileName) = 0;
  /// The document as it would be saved.
  virtual std::string Render() = 0;

 protected:
  ~IReportXmlWriter() = default;
};

/// Transforms an XML writer's document into HTML with a style sheet built into the library.
class IReportHtmlWriter : public Unknown {
 public:
  /// Writes base file name + ".html". `replace` nonzero lets it replace an earlier file of
  /// that name; the other two arguments are reserved (0).
  virtual ReportSaveResult Save(int32_t reserved1, int32_t reserved2, int32_t replace) = 0;
  /// Forgets the transformed document, the texts, the title and the template (not the
  /// language).
  virtual void Clear() = 0;
  /// "KEY=text" lines: each replaces the placeholder "%KEY%" of the template (built-in
  /// English for keys not given).
  virtual void SetTexts(const std::vector<std::string>& lines) = 0;
  /// Language code of the texts as the localizer names it ("ENU", "DEU").
  virtual void SetLanguage(std::string_view languageCode) = 0;
  /// The product name; the page's footer shows the company part of the program name.
  virtual void SetTitle(std::string_view title) = 0;
  /// Chooses a style sheet by resource name and type ("REPORT_TEMPLATE", "TEMPLATES").
  /// `module` names the module holding it; null means the library's own templates, the only
  /// ones there are on Linux. False when there is no such template.
  virtual bool LoadTemplate(const void* module, std::string_view name,
                            std::string_view type) = 0;
  /// Transforms the writer's current document; false (and Save fails with the reason)
  /// without a template or document, or when the transformation fails.
  virtual bool Transform(IReportXmlWriter* xml) = 0;
  virtual ReportSaveResult SaveAs(std::string_view fileName) = 0;
  virtual std::string Render() = 0;

 protected:
  ~IReportHtmlWriter() = default;
};

/// Plain text in UTF-8 with LF line ends.
class IReportTextWriter : public Unknown {
 public:
  /// Writes base file name + ".txt".
  virtual ReportSaveResult Save() = 0;
  virtual void Clear() = 0;
  virtual void AddLine(std::string_view text) = 0;
  /// A section title line, already laid out by the caller.
  virtual void AddTitleLine(std::string_view text) = 0;
  virtual ReportSaveResult SaveAs(std::string_view fileName) = 0;
  virtual std::string Render() = 0;

 protected:
  ~IReportTextWriter() = default;
};

class IReport : public Unknown {
 public:
  /// Each returns an added reference.
  virtual IReportXmlWriter* XmlWriter() = 0;
  virtual IReportHtmlWriter* HtmlWriter() = 0;
  virtual IReportTextWriter* TextWriter() = 0;
  virtual std::string BaseFileName() = 0;

 protected:
  ~IReport() = default;
};

class IReportGenerator : public Unknown {
 public:
  /// A new report object (an added reference) for the base file name: the folder and the
  /// file name without extension ("/home/ann/Documents/Tavrin/.../Reports/SysInfo").
  virtual IReport* CreateReport(std::string_view baseFileName) = 0;

 protected:
  ~IReportGenerator() = default;
};

}  // namespace tavrin::helpers
