#include "output/output_names.h"

#include "check/test_program.h"

namespace {

using namespace test_program;

class output_names_test : public back_end_test {};

TEST_F(output_names_test, FilesGoBesideTheSourceUnderItsBaseName) {
  EXPECT_EQ(output_file_name(".hex"), "dir\\prog.hex");
  EXPECT_EQ(output_file_name("_sim.hex"), "dir\\prog_sim.hex");
  EXPECT_EQ(output_file_name(".obj"), "dir\\prog.obj");
  EXPECT_EQ(output_file_name(".epr"), "dir\\prog.epr");
  EXPECT_EQ(output_file_name(".dbg"), "dir\\prog.dbg");

  inpFilePath = "C:\\work\\src";
  inpFileName = "prog.old.asm";
  EXPECT_EQ(output_base_name(), "prog.old");
  EXPECT_EQ(output_file_name(".hex"), "C:\\work\\src\\prog.old.hex");

  // The separator the user wrote is kept.
  inpFilePath = "src/sub";
  inpFileSep = '/';
  inpFileName = "main.asm";
  EXPECT_EQ(output_file_name(".dbg"), "src/sub/main.dbg");
}

TEST_F(output_names_test, WithoutDirectoryTheCurrentOneIsUsed) {
  inpFilePath = "prog.asm";
  inpFileName = "prog.asm";
  inpFileSep = 0;
  EXPECT_EQ(output_file_name(".hex"), "prog.hex");
  EXPECT_EQ(output_file_name("_sim.hex"), "prog_sim.hex");
}

TEST_F(output_names_test, ANameWithoutDotIsTheBaseName) {
  inpFileName = "prog";
  EXPECT_EQ(output_base_name(), "prog");
  EXPECT_EQ(output_file_name(".obj"), "dir\\prog.obj");
  inpFileName = ".asm";
  EXPECT_EQ(output_file_name(".obj"), "dir\\.obj");
}

}  // namespace
