#include "shared/TextFile.h"

#include <gtest/gtest.h>

#include "support/RunProgram.h"

using testsupport::readWholeFile;
using testsupport::TempDir;

TEST(TextFile, WritesWholeContentAndReplacesOldFile) {
  TempDir dir;
  writeTextFileAtomically(dir / "a.txt", "old\n");
  writeTextFileAtomically(dir / "a.txt", "new\tline\n");
  EXPECT_EQ(readWholeFile(dir / "a.txt"), "new\tline\n");
  // Nothing but the file itself is left in the folder.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(TextFile, FailedWriteRaisesAndLeavesNothing) {
  TempDir dir;
  EXPECT_THROW(writeTextFileAtomically(dir / "missing-folder" / "a.txt", "x"), FileWriteError);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing-folder"));
  // A folder standing where the file should go cannot be replaced.
  std::filesystem::create_directory(dir / "taken");
  EXPECT_THROW(writeTextFileAtomically(dir / "taken", "x"), FileWriteError);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken"));
}
