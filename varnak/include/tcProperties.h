#pragma once

#include "varnak/include/tObjectLife.h"

#include <wx/string.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Value types of a property. The numbers are stored by callers and must not change.
enum teVarType : int
{
    tTYPE_BOOL = 0,
    tTYPE_INTEGER = 1,
    tTYPE_STRING = 2,
    tTYPE_DOUBLE = 3,
};

// What a value means, for editors that offer a suitable control (a folder chooser for a folder).
// The property set itself only carries it.
enum teMetatype : int
{
    tMETATYPE_UNSPECIFIED = 0,
    tMETATYPE_FILENAME = 1,
    tMETATYPE_FOLDER = 2,
    tMETATYPE_LUASCRIPT = 3,
    tMETATYPE_FONT = 4,
    tMETATYPE_FONTSIZE = 5,
    tMETATYPE_COLOR = 6,
    tMETATYPE_PASSWORD = 7,
};

// The declaration of a property: type, meaning, location (group path and name), description and
// default value text.
class tcVar : public tcLifeNoticed
{
public:
    tcVar() = default;
    tcVar(const tcVar&) = default;
    tcVar& operator=(const tcVar&) = default;
    ~tcVar() { tNotifyDestroyed(this); }
    tcVar(teVarType eType, const wxString& sPath, const wxString& sName, const wxString& sDefault = wxString(),
          const wxString& sDescription = wxString(), teMetatype eMetatype = tMETATYPE_UNSPECIFIED);

    teVarType GetType() const { return m_eType; }
    teMetatype GetMetatype() const { return m_eMetatype; }
    const wxString& GetPath() const { return m_sPath; }
    const wxString& GetName() const { return m_sName; }
    const wxString& GetDescription() const { return m_sDescription; }
    const wxString& GetDefault() const { return m_sDefault; }

private:
    teVarType m_eType = tTYPE_STRING;
    teMetatype m_eMetatype = tMETATYPE_UNSPECIFIED;
    wxString m_sPath;
    wxString m_sName;
    wxString m_sDescription;
    wxString m_sDefault;
};

// A declared variable with its current value, held as text. SetValue on the property itself
// notifies nobody; go through tcProperties::SetPropertyValue for that.
class tcProperty : public tcLifeNoticed
{
public:
    explicit tcProperty(const tcVar& var) : m_sValue(var.GetDefault()), m_Var(var) {}
    tcProperty(const tcProperty&) = default;
    tcProperty& operator=(const tcProperty&) = default;
    ~tcProperty() { tNotifyDestroyed(this); }

    const tcVar& GetVar() const { return m_Var; }
    const wxString& GetValue() const { return m_sValue; }
    void SetValue(const wxString& sValue) { m_sValue = sValue; }

private:
    // The value comes first: a script's box of the declaration (GetVar) must not share the
    // property's address, or the two boxes would be one.
    wxString m_sValue;
    tcVar m_Var;
};

// A set of typed properties keyed by (group path, name); both compare exactly, case included.
//
// Values are text in a locale-independent form: "1"/"0" for booleans, decimal integers, doubles
// in the C locale's shortest form that reads back to the same number. The typed getters also
// read "true"/"false"/"yes"/"no"/"on"/"off" and any integer as booleans, and return their
// default when the property is missing or its text does not read as the asked type.
//
// Subclasses hook in through two calls: OnPropertyAdded(index) after each AddProperty that
// really added a property (to load a stored value or store the default), and
// OnPropertyValueChanged(index) after each value change (not when a value is set to the text it
// already has). The hooks may add properties or change values again.
//
// Indexes run from 0 in the order of adding. Pointers from GetProperty/GetPropertyVar stay valid
// until Clear or the set's destruction. Not thread-safe: use one set from one thread at a time.
class tcProperties : public tcLifeNoticed
{
public:
    tcProperties() = default;
    virtual ~tcProperties();

    tcProperties(const tcProperties&) = delete;
    tcProperties& operator=(const tcProperties&) = delete;

    // Removes every property. No hook is called.
    virtual void Clear();
    virtual int GetNumProperties() const;

    // Hooks for subclasses; the set's own versions do nothing.
    virtual void OnPropertyValueChanged(int nIndex);
    virtual void OnPropertyAdded(int nIndex);

    // Declares a property whose value starts as the declared default and returns its index. When
    // (path, name) exists already nothing changes (neither the declaration nor the value), no hook
    // is called, and the existing index is returned.
    virtual int AddProperty(const tcVar& var);
    // The same with a starting value other than the default.
    virtual int AddProperty(const tcVar& var, const wxString& sValue);
    virtual int AddProperty(teVarType eType, const wxString& sPath, const wxString& sName, const wxString& sDefault,
                            const wxString& sDescription = wxString(), teMetatype eMetatype = tMETATYPE_UNSPECIFIED);

    // Sets the value text, first adding the property with this type (and this text as its default)
    // when it is missing. An existing property keeps its declared type. Returns the index.
    virtual int SetProperty(const wxString& sPath, const wxString& sName, const wxString& sValue, teVarType eType);

    // Typed setters: SetProperty with the canonical text of the value and the matching type.
    virtual int SetBool(const wxString& sPath, const wxString& sName, bool bValue);
    virtual int SetInt(const wxString& sPath, const wxString& sName, long nValue);
    virtual int SetDouble(const wxString& sPath, const wxString& sName, double dValue);
    virtual int SetString(const wxString& sPath, const wxString& sName, const wxString& sValue);
    virtual int SetStringW(const wxString& sPath, const wxString& sName, const std::wstring& sValue);

    virtual bool GetBool(const wxString& sPath, const wxString& sName, bool bDefault) const;
    virtual long GetInt(const wxString& sPath, const wxString& sName, long nDefault) const;
    virtual double GetDouble(const wxString& sPath, const wxString& sName, double dDefault) const;
    virtual wxString GetString(const wxString& sPath, const wxString& sName, const wxString& sDefault) const;
    // The value as UTF-8.
    virtual std::string GetStringS(const wxString& sPath, const wxString& sName, const std::string& sDefault) const;
    // The value text whatever the property's type.
    virtual wxString GetValue(const wxString& sPath, const wxString& sName, const wxString& sDefault) const;

    // Null when the index is out of range.
    tcProperty* GetProperty(int nIndex);
    const tcProperty* GetProperty(int nIndex) const;
    const tcVar* GetPropertyVar(int nIndex) const;
    // Empty when the index is out of range.
    wxString GetPropertyValue(int nIndex) const;
    // Changes the value and calls OnPropertyValueChanged when the text differs. False only when
    // the index is out of range.
    bool SetPropertyValue(int nIndex, const wxString& sValue);

    // -1 when missing.
    int FindPropertyIndex(const wxString& sPath, const wxString& sName) const;
    // True when at least one property lives under this exact group path.
    bool PathExists(const wxString& sPath) const;
    bool PropertyExists(const wxString& sPath, const wxString& sName) const;

private:
    const tcProperty* Find(const wxString& sPath, const wxString& sName) const;

    std::vector<std::unique_ptr<tcProperty>> m_apProperties;
    std::map<std::pair<wxString, wxString>, int> m_mapIndex;
};
