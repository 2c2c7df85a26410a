// The display session's recorded form, and the session that answers from it.
#include "platform/display_session.h"
#include "platform/snapshot_json.h"

namespace tavrin::platform {
namespace {

using nlohmann::json;

json ScreenToJson(const SessionScreen& s) {
  return {{"name", s.name},
          {"x", s.x},
          {"y", s.y},
          {"width", s.width},
          {"height", s.height},
          {"depth", s.depth},
          {"refreshHz", s.refreshHz},
          {"widthMm", s.widthMm},
          {"heightMm", s.heightMm},
          {"primary", s.primary}};
}

SessionScreen ScreenFromJson(const json& j, std::string_view file) {
  SessionScreen s;
  s.name = FieldOr(j, "name", std::string(), file);
  s.x = FieldOr(j, "x", 0, file);
  s.y = FieldOr(j, "y", 0, file);
  s.width = FieldOr(j, "width", 0, file);
  s.height = FieldOr(j, "height", 0, file);
  s.depth = FieldOr(j, "depth", 0, file);
  s.refreshHz = FieldOr(j, "refreshHz", 0.0, file);
  s.widthMm = FieldOr(j, "widthMm", 0, file);
  s.heightMm = FieldOr(j, "heightMm", 0, file);
  s.primary = FieldOr(j, "primary", false, file);
  return s;
}

// An answer recorded by AnswerToJson; a missing entry replays as "not recorded".
template <class T, class FromJson>
Answer<T> AnswerFromJson(const json& parent, std::string_view name, std::string_view file,
                         FromJson fromJson) {
  auto it = parent.is_object() ? parent.find(name) : parent.end();
  if (it == parent.end())
    return Answer<T>::Fail(Status::NotSupported, std::string(name), "not recorded");
  auto p = ProvenanceFromJson(*it);
  if (!p) return Answer<T>::Fail(Status::Malformed, std::string(file), std::string(name));
  Answer<T> a{std::nullopt, *p};
  if (p->ok() && it->contains("value")) a.value = fromJson((*it)["value"]);
  if (p->ok() && !a.value) a.source = {Status::Malformed, std::string(file), "no value"};
  return a;
}

std::vector<std::string> Strings(const json& j) {
  std::vector<std::string> out;
  if (j.is_array())
    for (const auto& s : j)
      if (s.is_string()) out.push_back(s.get<std::string>());
  return out;
}

class RecordedDisplaySession : public DisplaySession {
 public:
  RecordedDisplaySession(const json& j, std::string_view file) {
    screens_ = AnswerFromJson<SessionScreens>(j, "screens", file, [&](const json& v) {
      SessionScreens s;
      s.server = FieldOr(v, "server", std::string(), file);
      s.fromOutputs = FieldOr(v, "fromOutputs", false, file);
      if (auto it = v.find("screens"); it != v.end() && it->is_array())
        for (const auto& e : *it) s.screens.push_back(ScreenFromJson(e, file));
      return s;
    });
    const json apis = j.value("apis", json::object());
    auto text = [&](std::string_view name) {
      return AnswerFromJson<std::string>(apis, name, file, [](const json& v) {
        return v.is_string() ? v.get<std::string>() : std::string();
      });
    };
    apis_.openGlVersion = text("openGlVersion");
    apis_.openGlRenderer = text("openGlRenderer");
    apis_.openGlVendor = text("openGlVendor");
    apis_.vulkanVersion = text("vulkanVersion");
    apis_.vulkanDevices =
        AnswerFromJson<std::vector<std::string>>(apis, "vulkanDevices", file, Strings);
    apis_.videoProfiles =
        AnswerFromJson<std::vector<std::string>>(apis, "videoProfiles", file, Strings);
    // A Windows machine's recording: {"deviceCaps": {"8": 1920, ...}, "displayModes":
    // [[800, 600, 32], ...]}.
    if (auto it = j.find("deviceCaps"); it != j.end() && it->is_object()) {
      std::map<int, int32_t> caps;
      for (const auto& [key, value] : it->items()) {
        try {
          caps[std::stoi(key)] = FieldOr(*it, key, 0, file);
        } catch (const std::invalid_argument&) {
        } catch (const std::out_of_range&) {
        }
      }
      caps_ = Answer<std::map<int, int32_t>>::Of(std::move(caps), std::string(file));
    }
    if (auto it = j.find("displayModes"); it != j.end() && it->is_array()) {
      std::vector<std::array<int32_t, 3>> modes;
      for (const auto& m : *it)
        if (m.is_array() && m.size() == 3 && m[0].is_number_integer() && m[1].is_number_integer() &&
            m[2].is_number_integer())
          modes.push_back({m[0].get<int32_t>(), m[1].get<int32_t>(), m[2].get<int32_t>()});
      modes_ = Answer<std::vector<std::array<int32_t, 3>>>::Of(std::move(modes), std::string(file));
    }
  }
  Answer<SessionScreens> Screens() const override { return screens_; }
  GraphicsApis Apis() const override { return apis_; }
  Answer<std::map<int, int32_t>> DeviceCaps() const override {
    return caps_ ? *caps_ : DisplaySession::DeviceCaps();
  }
  Answer<std::vector<std::array<int32_t, 3>>> DisplayModes() const override {
    return modes_ ? *modes_ : DisplaySession::DisplayModes();
  }

 private:
  std::optional<Answer<std::map<int, int32_t>>> caps_;
  std::optional<Answer<std::vector<std::array<int32_t, 3>>>> modes_;
  Answer<SessionScreens> screens_;
  GraphicsApis apis_;
};

}  // namespace

json DisplaySessionToJson(const Answer<SessionScreens>& screens, const GraphicsApis& apis) {
  json j;
  j["screens"] = AnswerToJson(screens, [](const SessionScreens& s) {
    json list = json::array();
    for (const auto& screen : s.screens) list.push_back(ScreenToJson(screen));
    return json{{"server", s.server}, {"fromOutputs", s.fromOutputs}, {"screens", list}};
  });
  auto same = [](const auto& v) { return v; };
  json a;
  a["openGlVersion"] = AnswerToJson(apis.openGlVersion, same);
  a["openGlRenderer"] = AnswerToJson(apis.openGlRenderer, same);
  a["openGlVendor"] = AnswerToJson(apis.openGlVendor, same);
  a["vulkanVersion"] = AnswerToJson(apis.vulkanVersion, same);
  a["vulkanDevices"] = AnswerToJson(apis.vulkanDevices, same);
  a["videoProfiles"] = AnswerToJson(apis.videoProfiles, same);
  j["apis"] = a;
  return j;
}

std::shared_ptr<const DisplaySession> MakeRecordedDisplaySession(const json& j,
                                                                 std::string_view file) {
  return std::make_shared<RecordedDisplaySession>(j, file);
}

}  // namespace tavrin::platform
