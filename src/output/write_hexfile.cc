#include "output/write_hexfile.h"

#include "output/output_file.h"
#include "output/output_names.h"
#include "output/program_image.h"
#include "output/text_format.h"
#include "output/write_objfile.h"
#include "zr17_version.h"

namespace {

/// Two bytes per line, each with the comment of the instruction it belongs to.
void write_hex_text(output_writer& out, const program_image& image, int highest) {
  std::string& text = out.text;
  text += file_header("Downloadable Hex-File for ZR17", zr17_version);
  for (int address = 0; address <= highest; address += 2) {
    const image_cell& even = image.cells[address];
    const image_cell& odd = image.cells[address + 1];
    // "%04X: %02X %02X\t//--- %d: %s;  %s;\n"
    append_hex(text, static_cast<unsigned>(address), 4);
    text += ": ";
    append_hex(text, even.value, 2);
    text += ' ';
    append_hex(text, odd.value, 2);
    text += "\t//--- ";
    append_dec(text, address);
    text += ": ";
    append_cell_comment(text, even);
    text += ";  ";
    append_cell_comment(text, odd);
    text += ";\n";
    out.flush_if_full();
  }
  text += "\n\n";
  out.finish();
}

/// The bare bytes, sixteen to a line.
void write_sim_hex_text(output_writer& out, const program_image& image, int highest) {
  std::string& text = out.text;
  for (int address = 0; address <= highest; ++address) {
    append_hex(text, image.cells[address].value, 2);
    text += ' ';
    if ((address & 0xF) == 0xF) {
      text += '\n';
      out.flush_if_full();
    }
  }
  text += "\n\n";
  out.finish();
}

}  // namespace

void write_hexfile(run_context& run) {
  program_image image;
  place_program(run, image);
  const int highest = image.highest_used();
  {
    output_writer out(run, output_file_name(run, ".hex"));
    write_hex_text(out, image, highest);
  }
  output_writer out(run, output_file_name(run, "_sim.hex"));
  write_sim_hex_text(out, image, highest);
  write_objfile(run);
  write_eeprom_file(run);
}
