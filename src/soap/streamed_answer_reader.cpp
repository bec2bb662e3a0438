#include "soap/streamed_answer_reader.h"

#include <cstdint>
#include <string>
#include <vector>

#include "soap/lexical.h"
#include "soap/record_reader.h"
#include "soap/remote_errors.h"
#include "soap/type_registry.h"
#include "soap/xml_document.h"
#include "soap/xml_names.h"

namespace zelvor::soap {
namespace {

constexpr std::string_view kXsi = kXmlSchemaInstance;

// The elements open above the current one that the reader works in. Elements it does not
// read are not framed but counted (skipped_).
enum class Frame { Envelope, Body, Wrapper, Record, Array, Value };

struct Open {
  Frame frame;
  std::uint32_t type = 0;            // Record: its entry in types_
  std::uint32_t taken = 0;           // Record: where its fields' taken flags start in taken_
  std::uint32_t next = 0;            // Record: the field after the one taken last
  Remotable* record = nullptr;       // Record: the record filled; Array, Value: the field's
  const FieldInfo* field = nullptr;  // Array, Value
};

// A record type met in this answer: its fields' wire names, and the key (XmlStart::NameKey)
// of the element each field last took, which spares comparing the names again.
struct TypeNames {
  const RecordType* type;
  const FieldWireNames* names;
  std::vector<const void*> keys;
};

class AnswerEvents final : public XmlEvents {
 public:
  AnswerEvents(std::string_view returnName, Remotable& result)
      : returnName_(returnName), result_(result) {
    open_.reserve(16);
  }

  bool Returned() const { return returned_; }

  bool Start(const XmlStart& element) override {
    if (element.UnboundPrefix()) return false;
    if (skipped_ > 0) return Skip();
    if (open_.empty()) {
      const std::string_view ns = element.Namespace();
      if (element.LocalName() != "Envelope" || (ns != kSoapEnvelope11 && ns != kSoapEnvelope12)) {
        return false;
      }
      Push(Frame::Envelope);
      return true;
    }
    Open& parent = open_.back();
    switch (parent.frame) {
      case Frame::Envelope:
        // A header may have to be understood; the tree reader decides.
        if (element.LocalName() == "Header" || (element.LocalName() == "Body" && sawBody_)) {
          return false;
        }
        if (element.LocalName() != "Body") return Skip();
        sawBody_ = true;
        Push(Frame::Body);
        return true;
      case Frame::Body:
        if (sawWrapper_) return Skip();
        sawWrapper_ = true;
        if (element.LocalName() == "Fault") return false;
        Push(Frame::Wrapper);
        return true;
      case Frame::Wrapper:
        if (returned_ || !EqualsIgnoringAsciiCase(element.LocalName(), returnName_)) return Skip();
        returned_ = true;
        return StartValue(element, result_.Type().fields.at(0), result_);
      case Frame::Record:
        if (const FieldInfo* field = Take(parent, element)) {
          return StartValue(element, *field, *parent.record);
        }
        return Skip();
      case Frame::Array:
        return StartItem(element, *parent.field, *parent.record);
      case Frame::Value:
        return false;  // markup inside a value is kept as XML text, which the tree reader gives
    }
    return false;
  }

  bool End() override {
    if (skipped_ > 0) {
      --skipped_;
      return true;
    }
    const Open closed = open_.back();
    open_.pop_back();
    switch (closed.frame) {
      case Frame::Value:
        return Convert([&] { StoreText(*closed.field, *closed.record, text_); });
      case Frame::Record:
        taken_.resize(closed.taken);
        return true;
      case Frame::Wrapper:
        // Without ReturnName's element the tree reader looks further, or raises the error.
        return returned_;
      default:
        return true;
    }
  }

  bool Text(std::string_view text) override {
    if (skipped_ == 0 && !open_.empty() && open_.back().frame == Frame::Value) text_ += text;
    return true;
  }

  bool Markup() override {
    return skipped_ > 0 || open_.empty() || open_.back().frame != Frame::Value;
  }

 private:
  bool Skip() {
    ++skipped_;
    return true;
  }

  // A conversion error ends the scan: the tree reader raises it, after any earlier one.
  template <class Store>
  static bool Convert(Store store) {
    try {
      store();
      return true;
    } catch (const EConvertError&) {
      return false;
    }
  }

  static bool IsNil(const XmlStart& element) {
    const auto nil = element.Attribute("nil", kXsi);
    return nil && IsNilValue(*nil);
  }

  static bool NamesType(const XmlStart& element) {
    return element.Attribute("type", kXsi).has_value();
  }

  Open& Push(Frame frame, Remotable* record = nullptr, const FieldInfo* field = nullptr) {
    Open& open = open_.emplace_back();
    open.frame = frame;
    open.record = record;
    open.field = field;
    return open;
  }

  // The entry of the record's type in types_, added when the type is new to this answer.
  std::uint32_t TypeOf(const Remotable& record) {
    const RecordType* type = &record.Type();
    // The items of a list are of one type: the last type met mostly serves.
    if (lastType_ < types_.size() && types_[lastType_].type == type) return lastType_;
    for (lastType_ = 0; lastType_ < types_.size(); ++lastType_) {
      if (types_[lastType_].type == type) return lastType_;
    }
    const FieldWireNames& names = TypeRegistry::Instance().WireNames(*type);
    types_.push_back({type, &names, std::vector<const void*>(names.names.size(), nullptr)});
    return lastType_;
  }

  void OpenRecord(Remotable& record) {
    const std::uint32_t type = TypeOf(record);
    Open& open = Push(Frame::Record, &record);
    open.type = type;
    open.taken = static_cast<std::uint32_t>(taken_.size());
    taken_.resize(taken_.size() + types_[type].names->names.size(), 0);
  }

  void OpenValue(const FieldInfo& field, Remotable& record) {
    text_.clear();
    Push(Frame::Value, &record, &field);
  }

  // The first field not yet taken whose wire name is the element's, as the tree reader matches
  // them. Children mostly come in field order, so the field after the last one taken is tried
  // first.
  const FieldInfo* Take(Open& record, const XmlStart& element) {
    TypeNames& type = types_[record.type];
    const std::vector<std::string_view>& names = type.names->names;
    const auto taken = taken_.begin() + record.taken;
    const void* key = element.NameKey();
    const auto named = [&](std::size_t field) {
      return type.keys[field] == key || names[field] == element.LocalName();
    };
    std::size_t field = record.next;
    if (!(type.names->distinct && field < names.size() && !taken[field] && named(field))) {
      for (field = 0; field < names.size(); ++field) {
        if (!taken[field] && named(field)) break;
      }
      if (field == names.size()) return nullptr;
    }
    type.keys[field] = key;
    taken[field] = 1;
    record.next = static_cast<std::uint32_t>(field + 1);
    return &record.record->Type().fields[field];
  }

  bool StartValue(const XmlStart& element, const FieldInfo& field, Remotable& record) {
    if (IsNil(element)) {
      StoreNil(field, record);
      return Skip();
    }
    switch (field.kind) {
      case FieldKind::Record:
        if (NamesType(element)) return false;
        OpenRecord(field.access->NewRecord(record));
        return true;
      case FieldKind::Array:
        field.access->SetEmptyArray(record);
        Push(Frame::Array, &record, &field);
        return true;
      default:
        OpenValue(field, record);
        return true;
    }
  }

  bool StartItem(const XmlStart& element, const FieldInfo& field, Remotable& record) {
    // Lists of scalars are left to the tree reader: no answer of the services holds one.
    if (field.itemKind != FieldKind::Record || NamesType(element)) return false;
    Remotable& item = field.access->AppendRecord(record);
    if (IsNil(element)) return Skip();  // a nil item is a record left empty
    OpenRecord(item);
    return true;
  }

  std::string_view returnName_;
  Remotable& result_;
  std::vector<Open> open_;
  std::vector<char> taken_;  // the open records' fields, stacked
  std::string text_;
  std::vector<TypeNames> types_;
  std::uint32_t lastType_ = 0;
  int skipped_ = 0;  // depth inside elements no field takes
  bool sawBody_ = false;
  bool sawWrapper_ = false;
  bool returned_ = false;
};

}  // namespace

bool ReadStreamedAnswer(std::string_view body, const OperationInfo& operation, Remotable& result) {
  const std::string returnName = operation.ReturnName();
  if (returnName.empty()) return false;
  AnswerEvents events(returnName, result);
  return ScanXmlSafely(body, kMaxAnswerBytes, events) && events.Returned();
}

}  // namespace zelvor::soap
