#include "collectors/os/desktop_entry.h"

#include <gtest/gtest.h>

namespace tavrin::collectors {
namespace {

constexpr std::string_view kEditor =
    "# a comment\n"
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=Text Editor\n"
    "Name[de]=Texteditor\n"
    "Name[de_AT]=Texteditor (AT)\n"
    "Name[sr@latin]=Uređivač\n"
    "GenericName=Editor\n"
    "Comment=Edit\\stext\\nfiles\n"
    "Exec=gedit --new-window %U\n"
    "Categories=GNOME;Utility;TextEditor;\n"
    "this line is no key\n"
    "=no key either\n"
    "Name[broken=never\n"
    "\n"
    "[Desktop Action new-window]\n"
    "Name=New Window\n"
    "Exec=gedit --new-window\n";

TEST(DesktopFileEntry, LocalizedNamesAndEscapes) {
  struct Case {
    std::string_view locale, name;
  };
  for (const Case& c :
       {Case{"", "Text Editor"}, Case{"C", "Text Editor"}, Case{"de_DE.UTF-8", "Texteditor"},
        Case{"de_AT.UTF-8@euro", "Texteditor (AT)"}, Case{"sr_RS@latin", "Uređivač"},
        Case{"fr_FR.UTF-8", "Text Editor"}}) {
    const DesktopFileEntry e = ParseDesktopEntry(kEditor, c.locale);
    EXPECT_TRUE(e.valid);
    EXPECT_EQ(e.name, c.name) << c.locale;
  }
  const DesktopFileEntry e = ParseDesktopEntry(kEditor);
  EXPECT_EQ(e.type, "Application");
  EXPECT_EQ(e.comment, "Edit text\nfiles");
  EXPECT_EQ(e.exec, "gedit --new-window %U") << "the action group does not overwrite the entry";
  EXPECT_EQ(e.categories, (std::vector<std::string>{"GNOME", "Utility", "TextEditor"}));
  EXPECT_EQ(CommandWithoutFieldCodes(e.exec), "gedit --new-window");
  EXPECT_EQ(CommandWithoutFieldCodes("run %f --rate 50%% %i"), "run --rate 50%");
}

TEST(DesktopFileEntry, WhatStartsWithTheSession) {
  const DesktopFileEntry hidden =
      ParseDesktopEntry("[Desktop Entry]\nName=A\nExec=a\nHidden=true\n");
  const DesktopFileEntry gnomeOnly =
      ParseDesktopEntry("[Desktop Entry]\nName=B\nExec=b\nOnlyShowIn=GNOME;Unity;\n");
  const DesktopFileEntry notKde =
      ParseDesktopEntry("[Desktop Entry]\nName=C\nExec=c\nNotShowIn=KDE;\n");
  const DesktopFileEntry off =
      ParseDesktopEntry("[Desktop Entry]\nName=D\nExec=d\nX-GNOME-Autostart-enabled=false\n");
  const DesktopFileEntry noGroup = ParseDesktopEntry("Name=E\nExec=e\n");
  const DesktopFileEntry noName = ParseDesktopEntry("[Desktop Entry]\nHidden=true\n");
  const std::vector<std::string> gnome{"ubuntu", "GNOME"}, kde{"KDE"}, unknown{};

  EXPECT_FALSE(StartsWithSession(hidden, gnome));
  EXPECT_TRUE(StartsWithSession(gnomeOnly, gnome));
  EXPECT_FALSE(StartsWithSession(gnomeOnly, kde));
  EXPECT_TRUE(StartsWithSession(gnomeOnly, unknown)) << "no desktop known: it may start";
  EXPECT_TRUE(StartsWithSession(notKde, gnome));
  EXPECT_FALSE(StartsWithSession(notKde, kde));
  EXPECT_FALSE(StartsWithSession(off, gnome));
  EXPECT_FALSE(noGroup.valid);
  EXPECT_FALSE(StartsWithSession(noGroup, gnome));
  EXPECT_FALSE(noName.valid);
  EXPECT_TRUE(noName.hidden);
}

}  // namespace
}  // namespace tavrin::collectors
