#include "workbook/polish_messages.h"

#include <string_view>

namespace zelvor::workbook {
namespace {

constexpr std::string_view kSaveFrame = "Cannot save workbook \"";
constexpr std::string_view kOpenFrame = "Cannot open workbook \"";

std::string PolishFirst(const std::string& sentence, const std::string& message) {
  return sentence + " (" + message + ")";
}

// The last part of a path, either separator counted: what a person recognises.
std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The component's own text inside a message made here; the message itself otherwise.
std::string OriginalOf(const std::string& message, std::string_view frame) {
  const std::size_t start = message.find(" (" + std::string(frame));
  if (start == std::string::npos || !message.ends_with(')')) return message;
  return message.substr(start + 2, message.size() - start - 3);
}

}  // namespace

std::string SaveFailure(const std::string& target, const std::string& reason) {
  const std::string original =
      std::string(kSaveFrame) + target + "\": " + OriginalOf(reason, kSaveFrame);
  const std::string name = "„" + FileName(target) + "”";
  if (original.ends_with(kHeldOpenReason)) {
    return PolishFirst("Plik " + name +
                           " jest otwarty w innym programie, np. w arkuszu kalkulacyjnym. "
                           "Zamknij go tam i uruchom zadanie ponownie.",
                       original);
  }
  return PolishFirst("Nie można zapisać skoroszytu " + name +
                         ". Sprawdź, czy plik nie jest otwarty w innym programie, czy folder "
                         "pozwala na zapis i czy na dysku jest miejsce, po czym uruchom zadanie "
                         "ponownie.",
                     original);
}

std::string OpenFailure(const std::string& path, const std::string& problem) {
  return PolishFirst("Nie można otworzyć skoroszytu „" + FileName(path) +
                         "”. Sprawdź, czy to skoroszyt .xlsx, który otwiera się w arkuszu "
                         "kalkulacyjnym, i wskaż go ponownie.",
                     std::string(kOpenFrame) + path + "\": " + problem);
}

bool IsOpenFailure(const std::string& message) {
  return message.find(" (" + std::string(kOpenFrame)) != std::string::npos;
}

std::string WorkbookFailure(const std::string& message) {
  return PolishFirst(
      "Operacja na skoroszycie nie powiodła się. Uruchom zadanie ponownie. Jeśli błąd się "
      "powtarza, przekaż opis w nawiasie pomocy technicznej.",
      message);
}

}  // namespace zelvor::workbook
