#include "register-sim/polish_names.h"

namespace zelvor::sim {
namespace {

constexpr std::string_view kMaleNames[] = {
    "Jan",        "Józef",     "Łukasz",   "Michał",     "Paweł",    "Tomasz",   "Krzysztof",
    "Grzegorz",   "Stanisław", "Wojciech", "Andrzej",    "Piotr",    "Zbigniew", "Jerzy",
    "Bartłomiej", "Jarosław",  "Mirosław", "Przemysław", "Sławomir", "Maciej"};
constexpr std::string_view kFemaleNames[] = {
    "Anna",     "Małgorzata", "Agnieszka", "Katarzyna", "Żaneta",  "Bożena", "Jolanta",
    "Elżbieta", "Grażyna",    "Beata",     "Urszula",   "Jadwiga", "Halina", "Dorota"};
// Masculine forms; -ski, -cki and -dzki take -ska, -cka, -dzka for women.
constexpr std::string_view kSurnames[] = {
    "Nowak",       "Kowalski",    "Wiśniewski",  "Wójcik",     "Kowalczyk",  "Kamiński",
    "Lewandowski", "Zieliński",   "Szymański",   "Woźniak",    "Dąbrowski",  "Kozłowski",
    "Jankowski",   "Mazur",       "Kwiatkowski", "Krawczyk",   "Piotrowski", "Grabowski",
    "Pawłowski",   "Michalski",   "Król",        "Wieczorek",  "Jabłoński",  "Wróbel",
    "Nowicki",     "Majewski",    "Olszewski",   "Stępień",    "Malinowski", "Jaworski",
    "Adamczyk",    "Dudek",       "Zając",       "Pawlak",     "Sikora",     "Walczak",
    "Bąk",         "Chmielewski", "Włodarczyk",  "Czarnecki",  "Sokołowski", "Kaźmierczak",
    "Głowacki",    "Zakrzewski",  "Kołodziej",   "Ziółkowski", "Gwóźdź",     "Żak",
    "Łuczak",      "Ślusarczyk",  "Gołębiowski", "Sołtysiak"};
constexpr std::string_view kWords[] = {
    "Żuraw",    "Sokół",    "Orzeł",    "Bałtyk",    "Tatry",   "Wisła",      "Odra",
    "Mazowsze", "Pomorze",  "Śląsk",    "Kujawy",    "Podhale", "Bieszczady", "Warmia",
    "Jantar",   "Łoś",      "Żubr",     "Ryś",       "Bóbr",    "Dąb",        "Jarzębina",
    "Polmar",   "Transbud", "Kruszywo", "Gościniec", "Trakt",   "Świt",       "Zorza"};
constexpr std::string_view kStreets[] = {
    "Marszałkowska", "Piłsudskiego",    "Kościuszki",       "Mickiewicza",
    "Słowackiego",   "Żeromskiego",     "Wojska Polskiego", "Łąkowa",
    "Polna",         "Kolejowa",        "Przemysłowa",      "Składowa",
    "Graniczna",     "Szkolna",         "Ogrodowa",         "Leśna",
    "Długa",         "Źródlana",        "Świętokrzyska",    "Transportowa",
    "Spedycyjna",    "Żwirki i Wigury", "Sienkiewicza",     "Reymonta",
    "Jaśminowa",     "Górnicza"};
constexpr std::string_view kReasons[] = {"brak zabezpieczenia finansowego",
                                         "utrata dobrej reputacji",
                                         "niespełnienie wymogu siedziby",
                                         "na wniosek przedsiębiorcy",
                                         "zaległości podatkowe",
                                         "brak zarządzającego transportem"};

const Place kPlaces[] = {
    {"Warszawa", "Warszawa", "Warszawa", "mazowieckie", "02"},
    {"Kraków", "Kraków", "Kraków", "małopolskie", "31"},
    {"Łódź", "Łódź", "Łódź", "łódzkie", "90"},
    {"Wrocław", "Wrocław", "Wrocław", "dolnośląskie", "53"},
    {"Poznań", "Poznań", "Poznań", "wielkopolskie", "61"},
    {"Gdańsk", "Gdańsk", "Gdańsk", "pomorskie", "80"},
    {"Szczecin", "Szczecin", "Szczecin", "zachodniopomorskie", "71"},
    {"Bydgoszcz", "Bydgoszcz", "Bydgoszcz", "kujawsko-pomorskie", "85"},
    {"Lublin", "Lublin", "Lublin", "lubelskie", "20"},
    {"Białystok", "Białystok", "Białystok", "podlaskie", "15"},
    {"Katowice", "Katowice", "Katowice", "śląskie", "40"},
    {"Kielce", "Kielce", "Kielce", "świętokrzyskie", "25"},
    {"Rzeszów", "Rzeszów", "Rzeszów", "podkarpackie", "35"},
    {"Olsztyn", "Olsztyn", "Olsztyn", "warmińsko-mazurskie", "10"},
    {"Opole", "Opole", "Opole", "opolskie", "45"},
    {"Zielona Góra", "Zielona Góra", "Zielona Góra", "lubuskie", "65"},
    {"Żyrardów", "żyrardowski", "Żyrardów", "mazowieckie", "96"},
    {"Ząbki", "wołomiński", "Ząbki", "mazowieckie", "05"},
    {"Nowy Sącz", "Nowy Sącz", "Nowy Sącz", "małopolskie", "33"},
    {"Łomża", "Łomża", "Łomża", "podlaskie", "18"},
    {"Świebodzin", "świebodziński", "Świebodzin", "lubuskie", "66"},
    {"Tczew", "tczewski", "Tczew", "pomorskie", "83"},
    {"Września", "wrzesiński", "Września", "wielkopolskie", "62"},
    {"Stalowa Wola", "stalowowolski", "Stalowa Wola", "podkarpackie", "37"},
    {"Końskie", "konecki", "Końskie", "świętokrzyskie", "26"},
    {"Chełm", "Chełm", "Chełm", "lubelskie", "22"},
    {"Kłodzko", "kłodzki", "Kłodzko", "dolnośląskie", "57"},
    {"Bełchatów", "bełchatowski", "Bełchatów", "łódzkie", "97"},
    {"Grudziądz", "Grudziądz", "Grudziądz", "kujawsko-pomorskie", "86"},
    {"Głuchołazy", "nyski", "Głuchołazy", "opolskie", "48"},
    {"Ełk", "ełcki", "Ełk", "warmińsko-mazurskie", "19"},
    {"Koszalin", "Koszalin", "Koszalin", "zachodniopomorskie", "75"},
    {"Żory", "Żory", "Żory", "śląskie", "44"},
    {"Sieradz", "sieradzki", "Sieradz", "łódzkie", "98"},
};

std::string Feminine(std::string_view surname) {
  for (std::string_view ending : {"ski", "cki", "dzki"}) {
    if (surname.ends_with(ending)) {
      std::string f(surname.substr(0, surname.size() - 1));
      return f + "a";
    }
  }
  return std::string(surname);
}

}  // namespace

Person RandomPerson(Rng& rng) {
  const bool woman = rng.Percent(35);
  const std::string_view surname = rng.Pick(kSurnames);
  Person p;
  p.imiona = std::string(woman ? rng.Pick(kFemaleNames) : rng.Pick(kMaleNames));
  if (rng.Percent(15)) {
    p.imiona += " ";
    p.imiona += woman ? rng.Pick(kFemaleNames) : rng.Pick(kMaleNames);
  }
  p.nazwisko = woman ? Feminine(surname) : std::string(surname);
  return p;
}

const Place& RandomPlace(Rng& rng) {
  return rng.Pick(kPlaces);
}

std::string_view RandomStreet(Rng& rng) {
  return rng.Pick(kStreets);
}

std::string_view RandomReason(Rng& rng) {
  return rng.Pick(kReasons);
}

std::string RandomAuthority(Rng& rng, const Place& place) {
  switch (rng.Below(4)) {
    case 0:
      return "Starostwo Powiatowe - " + std::string(place.miejscowosc);
    case 1:
      return "Prezydent Miasta " + std::string(place.miejscowosc);
    default:
      return "Główny Inspektor Transportu Drogowego";
  }
}

Firm RandomFirm(Rng& rng, const Person& owner) {
  const std::string word(rng.Pick(kWords));
  const std::string person = owner.imiona + " " + owner.nazwisko;
  constexpr std::string_view kLimited = "spółka z ograniczoną odpowiedzialnością";
  constexpr std::string_view kSole = "osoba fizyczna prowadząca działalność gospodarczą";
  switch (rng.Below(10)) {
    case 0:
      return {word + "-Trans Sp. z o.o.", std::string(kLimited)};
    case 1:
      return {"Przedsiębiorstwo Transportowe \u201E" + word + "\u201D " + person,
              std::string(kSole), true};
    case 2:
      return {"Usługi Transportowe " + person, std::string(kSole), true};
    case 3:
      return {owner.nazwisko + " i Wspólnicy Spółka Jawna", "spółka jawna"};
    case 4:
      return {word + " Logistyka S.A.", "spółka akcyjna"};
    case 5:
      return {"Firma Przewozowa " + word + " s.c.", "spółka cywilna"};
    case 6:
      return {word + " Spedycja & Transport Sp. z o.o. Sp.k.", "spółka komandytowa"};
    case 7:
      return {"Przewóz Osób \"" + word + "\" " + owner.nazwisko, std::string(kSole), true};
    case 8:
      return {"PHU " + word + " " + person, std::string(kSole), true};
    default:
      return {"Transport Międzynarodowy " + owner.nazwisko + " Sp. z o.o.", std::string(kLimited)};
  }
}

}  // namespace zelvor::sim
