#pragma once
// The base of every simulated Office object: members found by name without
// regard to case, property get and put, methods with named and omitted
// arguments, a default member (DISPID_VALUE), further interface ids answered
// through IDispatch, connection points for events, and failures reported as
// Office reports them: DISP_E_EXCEPTION with a description.
#include <functional>
#include <map>
#include <string>
#include <vector>
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "platform/win32/com_object.h"
#include "platform/error.h"
#include "platform/win32/variant.h"
#include "simoffice/sim_connection_point.h"

namespace trelvo::simoffice {

using win32::Variant;

// A failure that the simulated host raises (an automation exception).
class OfficeError : public Error {
 public:
  using Error::Error;
};

// The arguments of one call, in call order; omitted ones hold Variant::Omitted().
class CallArguments {
 public:
  explicit CallArguments(std::vector<Variant> values) : values_(std::move(values)) {}
  bool Has(size_t index) const { return index < values_.size() && !values_[index].IsOmitted(); }
  const Variant& At(size_t index) const;
  std::string Text(size_t index) const { return At(index).ToText(); }
  long Int(size_t index) const { return At(index).ToInt(); }
  bool Bool(size_t index) const { return At(index).ToBool(); }
  size_t size() const { return values_.size(); }

 private:
  std::vector<Variant> values_;
};

// A COM object of the simulated hosts whose IDispatch has no type information
// (callers resolve names at run time, as they do with Office's objects).
template <class... Interfaces>
class WithoutTypeInfo : public win32::ComObject<Interfaces...> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
};

class SimObject : public WithoutTypeInfo<IDispatch, IConnectionPointContainer> {
 public:
  // source: the application name that failures report ("Microsoft Excel").
  explicit SimObject(std::string source) : source_(std::move(source)) {}
  ~SimObject() override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument_error) override;
  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID events, IConnectionPoint** point) override;

  void* QueryOtherInterface(REFIID iid) override;
  // Raises the host's error when the object may no longer be used (a deleted
  // control or toolbar); every member call asks it first.
  virtual void CheckUsable() const {}
  // How many property values callers have written (to see what was left alone).
  int property_writes() const { return property_writes_; }
  // After a property was written through IDispatch.
  virtual void OnPropertyWritten() {}
  IDispatch* dispatch() { return static_cast<IDispatch*>(this); }
  const std::string& source() const { return source_; }
  // Drops every advised sink (the host ended; connections do not survive it).
  void DisconnectAllSinks();

  // The object's plain properties (a getter and a setter, no parameters, a
  // text, number or truth value) as name and text: what a host keeps of an
  // object from one run to the next.
  using Fields = std::vector<std::pair<std::string, std::string>>;
  Fields SavedFields() const;
  // Sets them again, without counting them as a caller's property writes.
  void RestoreFields(const Fields& fields);

 protected:
  using Getter = std::function<Variant(const CallArguments&)>;
  using Setter = std::function<void(const CallArguments&, const Variant&)>;
  using Method = std::function<Variant(const CallArguments&)>;

  // params: the names of the parameters, for named arguments.
  void AddProperty(const std::string& name, std::vector<std::string> params, Getter get, Setter put = {});
  // A property without parameters that stores a value of this object.
  template <class Value>
  void AddField(const std::string& name, Value& field);
  void AddMethod(const std::string& name, std::vector<std::string> params, Method method);
  void SetDefaultMember(const std::string& name);
  // Interface ids (published by Office) that this object answers through IDispatch.
  void AnswerAs(const IID& iid) { aliases_.push_back(iid); }
  void AddConnectionPoint(const IID& events);
  // Calls every sink advised for the events: Invoke(id) with the arguments in call order.
  void Fire(const IID& events, DISPID id, std::vector<Variant> arguments);

 private:
  struct Member {
    std::string name;
    std::vector<std::string> params;
    Getter get;
    Setter put;
    Method method;
  };
  const Member* Find(DISPID id) const;

  std::string source_;
  int property_writes_ = 0;
  std::vector<Member> members_;
  int default_member_ = -1;
  std::vector<IID> aliases_;
  std::vector<std::pair<IID, Microsoft::WRL::ComPtr<SimConnectionPoint>>> points_;
};

template <class Value>
void SimObject::AddField(const std::string& name, Value& field) {
  AddProperty(
      name, {},
      [&field](const CallArguments&) {
        if constexpr (std::is_same_v<Value, std::string>)
          return Variant::Text(field);
        else if constexpr (std::is_same_v<Value, bool>)
          return Variant::Bool(field);
        else
          return Variant::Int(static_cast<long>(field));
      },
      [&field](const CallArguments&, const Variant& value) {
        if constexpr (std::is_same_v<Value, std::string>)
          field = value.ToText();
        else if constexpr (std::is_same_v<Value, bool>)
          field = value.ToBool();
        else
          field = static_cast<Value>(value.ToInt());
      });
}

// Makes a simulated object; the result owns one reference.
template <class T, class... Args>
Microsoft::WRL::ComPtr<T> Make(Args&&... args) {
  return win32::MakeComObject<T>(std::forward<Args>(args)...);
}

// A collection of the host (Workbooks, Documents, Dialogs, FormFields, ...):
// Count, and Item as the default member; item answers an index (a position
// from 1, or a name where the host allows one) or raises the host's error.
// What a collection's Add does (Workbooks.Add, Documents.Add, FormFields.Add), if it has one.
struct CollectionAdd {
  std::vector<std::string> params;
  std::function<Variant(const CallArguments&)> run;
};

class SimCollection : public SimObject {
 public:
  SimCollection(const std::string& source, std::function<long()> count, std::function<Variant(const Variant&)> item,
                CollectionAdd add = {});
};

// The object at a position from 1, or nullptr outside the collection.
template <class T>
T* AtPosition(const std::vector<Microsoft::WRL::ComPtr<T>>& items, const Variant& index) {
  const long position = index.ToInt();
  if (position < 1 || position > static_cast<long>(items.size())) return nullptr;
  return items[static_cast<size_t>(position - 1)].Get();
}

// A collection object over a list of simulated objects, indexed by position
// from 1; an index outside it raises missing (the host's own message).
template <class T>
Variant ListValue(const std::string& source, const std::vector<Microsoft::WRL::ComPtr<T>>& items,
                  const std::string& missing, CollectionAdd add = {});

// A property value that is an object (Nothing for nullptr).
inline Variant ObjectValue(SimObject* object) { return Variant::Object(object ? object->dispatch() : nullptr); }

template <class T>
Variant ListValue(const std::string& source, const std::vector<Microsoft::WRL::ComPtr<T>>& items,
                  const std::string& missing, CollectionAdd add) {
  return ObjectValue(Make<SimCollection>(
                         source, [&items] { return static_cast<long>(items.size()); },
                         [&items, missing](const Variant& index) {
                           if (T* item = AtPosition(items, index)) return ObjectValue(item);
                           throw OfficeError(missing);
                         },
                         std::move(add))
                         .Get());
}

}  // namespace trelvo::simoffice
