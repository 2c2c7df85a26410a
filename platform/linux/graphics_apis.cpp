// Our own declarations of the EGL 1.5, OpenGL and Vulkan 1.x calls used, from the Khronos
// registry's specifications (constants with their documented values). Nothing is linked.
#include "platform/linux/graphics_apis.h"

#include <cstdlib>
#include <cstring>

#include "platform/linux/live_services.h"
#include "platform/linux/shared_library.h"

namespace tavrin::platform {
namespace {

// EGL
using EGLDisplay = void*;
using EGLConfig = void*;
using EGLContext = void*;
using EGLSurface = void*;
using EGLint = int32_t;
using EGLenum = unsigned int;
constexpr EGLint kEglNone = 0x3038, kEglRenderableType = 0x3040, kEglOpenGlBit = 0x0008;
constexpr EGLint kEglSurfaceType = 0x3033;
constexpr EGLint kEglExtensions = 0x3055;
constexpr EGLenum kEglOpenGlApi = 0x30A2;
constexpr EGLenum kEglPlatformSurfacelessMesa = 0x31DD;
constexpr unsigned kGlVendor = 0x1F00, kGlRenderer = 0x1F01, kGlVersion = 0x1F02;

struct Egl {
  EGLDisplay (*getDisplay)(void*);
  EGLDisplay (*getPlatformDisplay)(EGLenum, void*, const intptr_t*);
  unsigned (*initialize)(EGLDisplay, EGLint*, EGLint*);
  unsigned (*terminate)(EGLDisplay);
  const char* (*queryString)(EGLDisplay, EGLint);
  unsigned (*bindApi)(EGLenum);
  unsigned (*chooseConfig)(EGLDisplay, const EGLint*, EGLConfig*, EGLint, EGLint*);
  EGLContext (*createContext)(EGLDisplay, EGLConfig, EGLContext, const EGLint*);
  unsigned (*destroyContext)(EGLDisplay, EGLContext);
  unsigned (*makeCurrent)(EGLDisplay, EGLSurface, EGLSurface, EGLContext);
  void* (*getProcAddress)(const char*);
};

void FailAll(GraphicsApis& apis, Status status, const std::string& source, const std::string& why) {
  apis.openGlVersion = Answer<std::string>::Fail(status, source, why);
  apis.openGlRenderer = apis.openGlVersion;
  apis.openGlVendor = apis.openGlVersion;
}

// Vulkan
using VkInstance = struct VkInstance_T*;
using VkPhysicalDevice = struct VkPhysicalDevice_T*;
using VkResult = int32_t;
struct VkApplicationInfo {
  int32_t sType;  // VK_STRUCTURE_TYPE_APPLICATION_INFO = 0
  const void* pNext;
  const char* pApplicationName;
  uint32_t applicationVersion;
  const char* pEngineName;
  uint32_t engineVersion;
  uint32_t apiVersion;
};
struct VkInstanceCreateInfo {
  int32_t sType;  // VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO = 1
  const void* pNext;
  uint32_t flags;
  const VkApplicationInfo* pApplicationInfo;
  uint32_t enabledLayerCount;
  const char* const* ppEnabledLayerNames;
  uint32_t enabledExtensionCount;
  const char* const* ppEnabledExtensionNames;
};
// The leading members of VkPhysicalDeviceProperties; the call writes the whole structure into
// a buffer far larger than it.
struct VkPropertiesHead {
  uint32_t apiVersion, driverVersion, vendorID, deviceID;
  int32_t deviceType;
  char deviceName[256];
};
using VkVoidFunction = void (*)();

std::string VulkanVersion(uint32_t v) {
  return std::to_string((v >> 22) & 0x7F) + "." + std::to_string((v >> 12) & 0x3FF) + "." +
         std::to_string(v & 0xFFF);
}

// Driver versions are the vendor's own encoding; NVIDIA packs 10.8.8.6 bits.
std::string DriverVersion(uint32_t vendor, uint32_t v) {
  if (vendor == 0x10DE)
    return std::to_string(v >> 22) + "." + std::to_string((v >> 14) & 0xFF) + "." +
           std::to_string((v >> 6) & 0xFF);
  return VulkanVersion(v);
}

}  // namespace

void ProbeOpenGl(GraphicsApis& apis) {
  SharedLibrary lib({"libEGL.so.1", "libEGL.so"});
  Egl e{};
  if (!lib.loaded()) return FailAll(apis, Status::Missing, "libEGL.so.1", lib.error());
  if (!lib.Bind(e.getDisplay, "eglGetDisplay") || !lib.Bind(e.initialize, "eglInitialize") ||
      !lib.Bind(e.terminate, "eglTerminate") || !lib.Bind(e.queryString, "eglQueryString") ||
      !lib.Bind(e.bindApi, "eglBindAPI") || !lib.Bind(e.chooseConfig, "eglChooseConfig") ||
      !lib.Bind(e.createContext, "eglCreateContext") ||
      !lib.Bind(e.destroyContext, "eglDestroyContext") ||
      !lib.Bind(e.makeCurrent, "eglMakeCurrent") ||
      !lib.Bind(e.getProcAddress, "eglGetProcAddress"))
    return FailAll(apis, Status::Missing, "libEGL.so.1", "an EGL function is missing");
  lib.Bind(e.getPlatformDisplay, "eglGetPlatformDisplay");
  // Without a window system the surfaceless platform still renders (on the GPU or in software).
  const char* clientExtensions = e.queryString(nullptr, kEglExtensions);
  EGLDisplay display = nullptr;
  if (e.getPlatformDisplay && clientExtensions &&
      std::strstr(clientExtensions, "EGL_MESA_platform_surfaceless"))
    display = e.getPlatformDisplay(kEglPlatformSurfacelessMesa, nullptr, nullptr);
  if (!display) display = e.getDisplay(nullptr);
  EGLint major = 0, minor = 0;
  if (!display || !e.initialize(display, &major, &minor))
    return FailAll(apis, Status::Failed, "EGL", "no EGL display could be initialised");
  const std::string source = "EGL " + std::to_string(major) + "." + std::to_string(minor);
  EGLContext context = nullptr;
  const EGLint attributes[] = {kEglSurfaceType, 0, kEglRenderableType, kEglOpenGlBit, kEglNone};
  EGLConfig config = nullptr;
  EGLint configs = 0;
  if (e.bindApi(kEglOpenGlApi) && e.chooseConfig(display, attributes, &config, 1, &configs) &&
      configs > 0)
    context = e.createContext(display, config, nullptr, nullptr);
  if (!context || !e.makeCurrent(display, nullptr, nullptr, context)) {
    FailAll(apis, Status::Failed, source, "no driver made an OpenGL context");
  } else {
    using GetString = const unsigned char* (*)(unsigned);
    auto glGetString = reinterpret_cast<GetString>(e.getProcAddress("glGetString"));
    auto text = [&](unsigned name) {
      const unsigned char* s = glGetString ? glGetString(name) : nullptr;
      return s ? Answer<std::string>::Of(reinterpret_cast<const char*>(s), source)
               : Answer<std::string>::Fail(Status::Failed, source, "glGetString gave nothing");
    };
    apis.openGlVersion = text(kGlVersion);
    apis.openGlRenderer = text(kGlRenderer);
    apis.openGlVendor = text(kGlVendor);
    e.makeCurrent(display, nullptr, nullptr, nullptr);
  }
  if (context) e.destroyContext(display, context);
  e.terminate(display);
}

void ProbeVulkan(GraphicsApis& apis) {
  SharedLibrary lib({"libvulkan.so.1", "libvulkan.so"});
  using GetProc = VkVoidFunction (*)(VkInstance, const char*);
  GetProc getProc = nullptr;
  if (!lib.Bind(getProc, "vkGetInstanceProcAddr")) {
    apis.vulkanVersion = Answer<std::string>::Fail(
        Status::Missing, "libvulkan.so.1", lib.loaded() ? "no vkGetInstanceProcAddr" : lib.error());
    apis.vulkanDevices = {std::nullopt, apis.vulkanVersion.source};
    return;
  }
  const std::string source = "Vulkan loader";
  uint32_t version = 0x400000;  // 1.0 when the loader predates the version query
  using EnumerateVersion = VkResult (*)(uint32_t*);
  if (auto f = reinterpret_cast<EnumerateVersion>(getProc(nullptr, "vkEnumerateInstanceVersion")))
    f(&version);
  apis.vulkanVersion = Answer<std::string>::Of(VulkanVersion(version), source);

  using Create = VkResult (*)(const VkInstanceCreateInfo*, const void*, VkInstance*);
  auto create = reinterpret_cast<Create>(getProc(nullptr, "vkCreateInstance"));
  VkApplicationInfo app{0, nullptr, "tavrin", 1, "tavrin", 1, version};
  VkInstanceCreateInfo info{1, nullptr, 0, &app, 0, nullptr, 0, nullptr};
  VkInstance instance = nullptr;
  if (!create || create(&info, nullptr, &instance) != 0 || !instance) {
    apis.vulkanDevices = Answer<std::vector<std::string>>::Fail(
        Status::Failed, source, "no Vulkan driver is installed or none accepted an instance");
    return;
  }
  using Enumerate = VkResult (*)(VkInstance, uint32_t*, VkPhysicalDevice*);
  using Properties = void (*)(VkPhysicalDevice, void*);
  using Destroy = void (*)(VkInstance, const void*);
  auto enumerate = reinterpret_cast<Enumerate>(getProc(instance, "vkEnumeratePhysicalDevices"));
  auto properties =
      reinterpret_cast<Properties>(getProc(instance, "vkGetPhysicalDeviceProperties"));
  auto destroy = reinterpret_cast<Destroy>(getProc(instance, "vkDestroyInstance"));
  std::vector<std::string> devices;
  uint32_t count = 0;
  if (enumerate && properties && enumerate(instance, &count, nullptr) >= 0 && count > 0) {
    std::vector<VkPhysicalDevice> list(count);
    if (enumerate(instance, &count, list.data()) >= 0) {
      static constexpr const char* kTypes[] = {"other", "integrated", "discrete", "virtual", "CPU"};
      for (uint32_t i = 0; i < count; ++i) {
        alignas(16) unsigned char buffer[8192] = {};
        properties(list[i], buffer);
        VkPropertiesHead head;
        std::memcpy(&head, buffer, sizeof head);
        head.deviceName[255] = '\0';
        const char* type =
            head.deviceType >= 0 && head.deviceType <= 4 ? kTypes[head.deviceType] : "other";
        devices.push_back(std::string(head.deviceName) + " (" + type + ", API " +
                          VulkanVersion(head.apiVersion) + ", driver " +
                          DriverVersion(head.vendorID, head.driverVersion) + ")");
      }
    }
  }
  if (destroy) destroy(instance, nullptr);
  apis.vulkanDevices =
      devices.empty()
          ? Answer<std::vector<std::string>>::Fail(Status::Missing, source, "no Vulkan device")
          : Answer<std::vector<std::string>>::Of(std::move(devices), source);
}

void PrepareLiveProbes() {
  // Mesa writes a shader cache under ~/.cache on first use; an information tool leaves the
  // user's files as it found them. A value the user set is kept.
  ::setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
}

}  // namespace tavrin::platform
