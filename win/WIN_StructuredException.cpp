#include "win/WIN_StructuredException.h"

#include "plat/PLAT_Signal.h"

namespace win {
namespace {

thread_local SeTranslator_t t_translator = nullptr;

const char* CodeText(unsigned long code) {
  switch (code) {
    case 0x80000001UL: return "Guard page at ";
    case 0x80000002UL: return "Data type misalignment at ";
    case 0x80000003UL: return "Breakpoint at ";
    case 0x80000004UL: return "Single step at ";
    case 0xC0000006UL: return "In page error at ";
    case 0xC0000008UL: return "Invalid handle at ";
    case 0xC000001DUL: return "Illegal instruction at ";
    case 0xC0000025UL: return "Non-continuable exception at ";
    case 0xC0000026UL: return "Invalid disposition at ";
    case 0xC000008CUL: return "Array bounds exceeded at ";
    case 0xC000008DUL: return "Float denormal operand at ";
    case 0xC000008EUL: return "Float divide by zero at ";
    case 0xC000008FUL: return "Float inexact result at ";
    case 0xC0000090UL: return "Float invalid operation at ";
    case 0xC0000091UL: return "Float overflow at ";
    case 0xC0000092UL: return "Float stack check at ";
    case 0xC0000093UL: return "Float underflow at ";
    case 0xC0000094UL: return "Integer divide by zero at ";
    case 0xC0000095UL: return "Integer overflow at ";
    case 0xC0000096UL: return "Privileged instruction at ";
    case 0xC00000FDUL: return "Stack overflow at ";
    default: return nullptr;
  }
}

// Appends to a fixed buffer without allocating; counts what did not fit.
class Writer_t {
 public:
  Writer_t(char* buffer, std::size_t size) : m_buffer(buffer), m_size(size) {
    if (m_size) m_buffer[0] = '\0';
  }
  void Text(const char* text) {
    while (*text) Char(*text++);
  }
  // Hexadecimal digits; at least minDigits of them (zero-filled).
  void Hex(unsigned long long value, bool upper, int minDigits) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[2 * sizeof(value)];
    int count = 0;
    do {
      reversed[count++] = digits[value & 0xF];
      value >>= 4;
    } while (value);
    while (count < minDigits && count < static_cast<int>(sizeof reversed)) reversed[count++] = '0';
    while (count) Char(reversed[--count]);
  }
  std::size_t Length() const { return m_length; }

 private:
  void Char(char c) {
    if (m_length + 1 < m_size) {
      m_buffer[m_length] = c;
      m_buffer[m_length + 1] = '\0';
    }
    ++m_length;
  }
  char* m_buffer;
  std::size_t m_size;
  std::size_t m_length = 0;
};

ExceptionRecord_t RecordOf(const plat::FaultInfo_t& fault) {
  ExceptionRecord_t record;
  record.code = fault.code;
  record.address = fault.programAddress;
  if (fault.hasDataAddress) {
    record.numberParameters = 2;
    record.information[0] = fault.access;
    record.information[1] = fault.dataAddress;
  }
  return record;
}

// The platform's fault handler of a thread that installed a translator.
void OnFault(const plat::FaultInfo_t& fault) {
  const ExceptionRecord_t record = RecordOf(fault);
  if (fault.fatal) {
    char text[256];
    FormatStructuredException(record, text, sizeof text);
    plat::WriteFaultReport(text);
    return;
  }
  const ExceptionPointers_t pointers{&record, nullptr};
  if (t_translator) t_translator(record.code, &pointers);
}

}  // namespace

std::size_t FormatStructuredException(const ExceptionRecord_t& record, char* buffer, std::size_t size) {
  Writer_t out(buffer, size);
  if (record.code == 0xC0000005UL) {
    out.Text(record.numberParameters > 0 && record.information[0] != 0 ? "Write" : "Read");
    out.Text(" access violation at data address 0x");
    out.Hex(record.numberParameters > 1 ? record.information[1] : 0, false, 1);
    out.Text(",\n");
  } else if (const char* text = CodeText(record.code)) {
    out.Text(text);
  } else {
    out.Text("Exception: 0x");
    out.Hex(record.code, true, 1);
    out.Text(" at ");
  }
  out.Text("program address 0x");
  out.Hex(record.address, true, 2 * sizeof(void*));
  out.Text(".");
  return out.Length();
}

StructuredException_t::StructuredException_t(unsigned long code, const ExceptionPointers_t* pointers)
    : m_code(code) {
  if (pointers && pointers->record) m_record = *pointers->record;
  m_record.code = code;
  char text[256];
  const std::size_t length = FormatStructuredException(m_record, text, sizeof text);
  if (length < sizeof text) {
    m_text.assign(text, length);
  } else {
    m_text.resize(length + 1);
    FormatStructuredException(m_record, m_text.data(), m_text.size());
    m_text.resize(length);
  }
}

StructuredException_t::~StructuredException_t() = default;

const char* StructuredException_t::what() const noexcept { return m_text.c_str(); }

void StructuredExceptionTranslator(unsigned long code, const ExceptionPointers_t* pointers) {
  throw StructuredException_t(code, pointers);
}

SeTranslator_t InstallSeTranslator() {
  const SeTranslator_t previous = t_translator;
  t_translator = &StructuredExceptionTranslator;
  plat::SetThreadFaultHandler(&OnFault);
  return previous;
}

}  // namespace win
