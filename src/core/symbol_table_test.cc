#include "core/symbol_table.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "driver/driver.h"
#include "platform/disk.h"

namespace {

/// `prefix` followed by `i`. Built by appending: on `"n" + std::to_string(i)`
/// GCC 12 at -O3 warns of an overlap that is not there (-Wrestrict).
std::string numbered(const char* prefix, int i) {
  return std::string(prefix).append(std::to_string(i));
}

class Symtab : public ::testing::Test {
 protected:
  symbol_table table;

  /// Names must outlive the table, which keeps the pointers it is given.
  const char* keep(std::string name) { return names_.emplace_back(std::move(name)).c_str(); }

  /// The first names "n0", "n1", ... whose home slot is `slot`.
  std::deque<const char*> names_with_home(std::uint32_t slot, int count) {
    std::deque<const char*> found;
    for (int i = 0; static_cast<int>(found.size()) < count; ++i) {
      std::string name = numbered("n", i);
      if (symhash(name.c_str()) % SYMTAB_SIZE == slot) found.push_back(keep(name));
    }
    return found;
  }

  int slot_of(const sym_entry* entry) const { return static_cast<int>(entry - &table.slot(0)); }

  std::deque<std::string> names_;
};


TEST_F(Symtab, HashTakesBytesAsSigned) {
  EXPECT_EQ(symhash("a"), 97u);
  EXPECT_EQ(symhash("abc"), 6912u);
  EXPECT_EQ(symhash("loop"), 75524u);
  EXPECT_EQ(symhash("loop") % SYMTAB_SIZE, 5545u);
  EXPECT_EQ(symhash("LOOP"), 59140u);
  EXPECT_EQ(symhash("LOOP") % SYMTAB_SIZE, 9155u);
  EXPECT_EQ(symhash("\xE4"), 4294967268u);
  EXPECT_EQ(symhash("\xE4") % SYMTAB_SIZE, 6143u);
  EXPECT_EQ(symhash(""), 0u);
}

TEST_F(Symtab, LookupClaimsTheHomeSlotOnceAndComparesExactly) {
  sym_entry* loop = table.lookup(keep("loop"));
  EXPECT_EQ(slot_of(loop), 5545);
  EXPECT_EQ(table.lookup(keep("loop")), loop);  // another string with the same text
  EXPECT_EQ(slot_of(table.lookup(keep("LOOP"))), 9155);
  EXPECT_EQ(loop->reflist, nullptr);
}

TEST_F(Symtab, CollidingNamesProbeToTheNextSlot) {
  std::deque<const char*> names = names_with_home(1234, 2);
  EXPECT_EQ(slot_of(table.lookup(names[0])), 1234);
  EXPECT_EQ(slot_of(table.lookup(names[1])), 1235);
  int record = 0;
  table.addref(3, "f", names[1], &record, REF_CONST);
  EXPECT_EQ(table.find_symbol(names[1], REF_CONST), &record);
  EXPECT_EQ(table.find_symbol(names[0], REF_CONST), nullptr);
}

TEST_F(Symtab, ProbingWrapsFromTheLastSlotToTheFirst) {
  std::deque<const char*> names = names_with_home(SYMTAB_SIZE - 1, 3);
  EXPECT_EQ(slot_of(table.lookup(names[0])), SYMTAB_SIZE - 1);
  EXPECT_EQ(slot_of(table.lookup(names[1])), 0);
  EXPECT_EQ(slot_of(table.lookup(names[2])), 1);
  EXPECT_EQ(slot_of(table.lookup(names[1])), 0);
}

TEST_F(Symtab, ReferencesAreNewestFirstAndFilteredByKind) {
  const char* file = "main.asm";
  int first_const = 0, label = 0, second_const = 0;
  const char* name = keep("value");
  table.addref(1, file, name, &first_const, REF_CONST);
  table.addref(2, file, name, &label, REF_LABEL);
  table.addref(3, file, name, &second_const, REF_CONST);
  EXPECT_EQ(table.find_symbol(name, REF_CONST), &second_const);
  EXPECT_EQ(table.find_symbol(name, REF_LABEL), &label);
  EXPECT_EQ(table.find_symbol_ref(name, REF_LABEL)->line, 2);
  EXPECT_EQ(table.find_symbol_ref(keep("Value"), REF_CONST), nullptr);
}

TEST_F(Symtab, TheSameDeclarationIsRegisteredOnce) {
  std::string same_text = "main.asm";
  const char* file = keep(same_text);
  const char* other_file = keep(same_text);
  int record = 0;
  const char* name = keep("x1");
  sym_ref* first = table.addref(4, file, name, &record, REF_LABEL);
  EXPECT_EQ(table.addref(4, file, name, nullptr, REF_LABEL), first);
  EXPECT_EQ(first->next, nullptr);
  // Another file string, line or kind is another declaration.
  EXPECT_NE(table.addref(4, other_file, name, &record, REF_LABEL), first);
  EXPECT_NE(table.addref(5, file, name, &record, REF_LABEL), first);
  EXPECT_NE(table.addref(4, file, name, &record, REF_CONST), first);
}

TEST_F(Symtab, TheLastFreeSlotFitsAndOneMoreNameOverflows) {
  for (int i = 0; i < SYMTAB_SIZE; ++i) table.lookup(keep(numbered("s", i)));
  EXPECT_EQ(table.lookup(keep("s0"))->name, std::string("s0"));
  EXPECT_EQ(table.find_symbol_ref(keep("absent"), REF_CONST), nullptr);
  try {
    table.addref(1, "f", keep("one_more"), nullptr, REF_LABEL);
    FAIL() << "no overflow";
  } catch (const symbol_table_overflow& overflow) {
    EXPECT_STREQ(overflow.message, "symbol table overflow");
  }
  EXPECT_THROW(table.lookup(keep("another")), symbol_table_overflow);
}

}  // namespace

namespace {

/// Runs the assembler in memory over `source`; returns the status.
int assemble(const std::string& source, std::string& out, std::string& err) {
  memory_disk files;
  files.files["prog.asm"] = source;
  capture_sink sink;
  int status = ::assemble({"prog.asm"}, files, sink).status;
  out = sink.out;
  err = sink.err;
  return status;
}

std::string labels_then_bad_line(int count) {
  std::string source = "org 0\n";
  for (int i = 0; i < count; ++i) source += numbered("l", i) + ": nop\n";
  return source + "5\n";
}

TEST(SymtabRun, TheTableHoldsExactly9997NamesOfARun) {
  std::string out, err;
  EXPECT_EQ(assemble(labels_then_bad_line(SYMTAB_SIZE), out, err), 1);
  EXPECT_NE(out.find("prog.asm Line 9999 ERROR: syntax error, unexpected INT\n"), std::string::npos);
  EXPECT_EQ(err, "");

  EXPECT_EQ(assemble(labels_then_bad_line(SYMTAB_SIZE + 1), out, err), 1);
  EXPECT_EQ(out, "--- ZR17 Assembler,          tessaro instrument works ---\n");
  EXPECT_EQ(err, "symbol table overflow\n");
}

}  // namespace
