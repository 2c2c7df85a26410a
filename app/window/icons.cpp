#include "app/window/icons.h"

#include <QFile>

namespace tavrin::window {
namespace {

// One picture per category title image index (1..15; 14 is unused by the categories).
constexpr const char* kCategoryIcons[] = {
    "dialog-information",         // 0: unused
    "computer",                   // 1 general
    "preferences-system",         // 2 operating system
    "cpu",                        // 3 system devices
    "hwinfo",                     // 4 processor details
    "video-display",              // 5 display
    "monitor",                    // 6 display details
    "media-flash-memory-stick",   // 7 memory
    "utilities-system-monitor",   // 8 performance
    "drive-harddisk",             // 9 drives
    "drive-multidisk",            // 10 storage
    "applications-all",           // 11 programs
    "drive-removable-media-usb",  // 12 input and output
    "network-card",               // 13 network
    "dialog-information",         // 14: unused
    "audio-card",                 // 15 devices
};

}  // namespace

QIcon ThemedIcon(const char* name) {
  const QString built_in = QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name));
  QIcon fallback(QFile::exists(built_in) ? QIcon(built_in) : QIcon());
  return QIcon::fromTheme(QLatin1String(name), fallback);
}

QIcon CategoryIcon(int titleImageIndex) {
  const int count = static_cast<int>(std::size(kCategoryIcons));
  if (titleImageIndex < 0 || titleImageIndex >= count) return {};
  return ThemedIcon(kCategoryIcons[titleImageIndex]);
}

QIcon ProgramIcon() {
  return ThemedIcon("computer");
}

}  // namespace tavrin::window
