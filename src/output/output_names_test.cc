#include "output/output_names.h"

#include "check/test_program.h"

namespace {

using namespace test_program;

class output_names_test : public back_end_test {};

TEST_F(output_names_test, FilesGoBesideTheSourceUnderItsBaseName) {
  EXPECT_EQ(output_file_name(run.source, ".hex"), "dir\\prog.hex");
  EXPECT_EQ(output_file_name(run.source, "_sim.hex"), "dir\\prog_sim.hex");
  EXPECT_EQ(output_file_name(run.source, ".obj"), "dir\\prog.obj");
  EXPECT_EQ(output_file_name(run.source, ".epr"), "dir\\prog.epr");
  EXPECT_EQ(output_file_name(run.source, ".dbg"), "dir\\prog.dbg");

  run.source.dir = "C:\\work\\src";
  run.source.name = "prog.old.asm";
  EXPECT_EQ(output_base_name(run.source), "prog.old");
  EXPECT_EQ(output_file_name(run.source, ".hex"), "C:\\work\\src\\prog.old.hex");

  // The separator the user wrote is kept.
  run.source.dir = "src/sub";
  run.source.sep = '/';
  run.source.name = "main.asm";
  EXPECT_EQ(output_file_name(run.source, ".dbg"), "src/sub/main.dbg");
}

TEST_F(output_names_test, WithoutDirectoryTheCurrentOneIsUsed) {
  run.source.dir = "prog.asm";
  run.source.name = "prog.asm";
  run.source.sep = 0;
  EXPECT_EQ(output_file_name(run.source, ".hex"), "prog.hex");
  EXPECT_EQ(output_file_name(run.source, "_sim.hex"), "prog_sim.hex");
}

TEST_F(output_names_test, ANameWithoutDotIsTheBaseName) {
  run.source.name = "prog";
  EXPECT_EQ(output_base_name(run.source), "prog");
  EXPECT_EQ(output_file_name(run.source, ".obj"), "dir\\prog.obj");
  run.source.name = ".asm";
  EXPECT_EQ(output_file_name(run.source, ".obj"), "dir\\.obj");
}

}  // namespace
