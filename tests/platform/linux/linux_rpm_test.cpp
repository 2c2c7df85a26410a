// The packages made of librpm's header answers, with hand-made headers (the tests need no
// librpm).
#include "platform/linux/linux_rpm.h"

#include <gtest/gtest.h>

#include <map>

namespace tavrin::platform {
namespace {

// A header: the texts and numbers it holds, by tag number.
struct FakeHeader {
  std::map<int, std::string> texts;
  std::map<int, uint64_t> numbers;
  RpmHeaderAccess Access() const {
    return {[this](int tag) -> const char* {
              auto it = texts.find(tag);
              return it == texts.end() ? nullptr : it->second.c_str();
            },
            [this](int tag) -> std::optional<uint64_t> {
              auto it = numbers.find(tag);
              if (it == numbers.end()) return std::nullopt;
              return it->second;
            }};
  }
};

TEST(RpmHeader, PackagesFromHeaderAnswers) {
  // A large package: the 64-bit size wins over the 32-bit one, which wrapped.
  const FakeHeader kernel{{{1000, "kernel-core"},
                           {1001, "6.6.8"},
                           {1002, "200.fc39"},
                           {1022, "x86_64"},
                           {1011, "Fedora Project"},
                           {1015, "Fedora Project <bugs@fedoraproject.org>"}},
                          {{1009, 123}, {5009, 5'000'000'000ULL}, {1008, 1703000000}}};
  auto p = RpmPackageFromHeader(kernel.Access());
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->name, "kernel-core");
  EXPECT_EQ(p->version, "6.6.8");
  EXPECT_EQ(p->release, "200.fc39");
  EXPECT_EQ(p->arch, "x86_64");
  EXPECT_EQ(p->vendor, "Fedora Project");
  EXPECT_EQ(p->sizeBytes, 5'000'000'000ULL);
  EXPECT_EQ(p->installTime, 1703000000);

  // An older header: only the 32-bit size, no vendor, no install time.
  const FakeHeader plain{{{1000, "zlib"}, {1001, "1.2.13"}}, {{1009, 90112}}};
  p = RpmPackageFromHeader(plain.Access());
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->release, "");
  EXPECT_EQ(p->vendor, "");
  EXPECT_EQ(p->sizeBytes, 90112u);
  EXPECT_FALSE(p->installTime.has_value());

  const FakeHeader nameless{{{1001, "1.0"}}, {{1009, 1}}};
  EXPECT_FALSE(RpmPackageFromHeader(nameless.Access()).has_value());
  const FakeHeader emptyName{{{1000, ""}}, {}};
  EXPECT_FALSE(RpmPackageFromHeader(emptyName.Access()).has_value());
  const FakeHeader sizeless{{{1000, "filesystem"}}, {}};
  EXPECT_FALSE(RpmPackageFromHeader(sizeless.Access())->sizeBytes.has_value());
}

}  // namespace
}  // namespace tavrin::platform
