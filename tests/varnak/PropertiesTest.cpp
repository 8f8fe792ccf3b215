#include "varnak/include/tcProperties.h"

#include "tests/varnak/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <locale>
#include <map>
#include <vector>

namespace
{

using tStore = std::map<std::pair<wxString, wxString>, wxString>;

// The pattern of a store-backed option set: a declared property takes the stored value, or
// writes its default when nothing is stored; later changes write through.
class StoreBackedProperties : public tcProperties
{
public:
    explicit StoreBackedProperties(tStore& store) : m_Store(store) {}

    void OnPropertyAdded(int nIndex) override
    {
        tcProperties::OnPropertyAdded(nIndex);
        ++m_nAdded;
        const tcVar* pVar = GetPropertyVar(nIndex);
        const auto it = m_Store.find({pVar->GetPath(), pVar->GetName()});
        if (it == m_Store.end())
        {
            OnPropertyValueChanged(nIndex);
            return;
        }
        m_bLoading = true;
        SetPropertyValue(nIndex, it->second);
        m_bLoading = false;
    }

    void OnPropertyValueChanged(int nIndex) override
    {
        tcProperties::OnPropertyValueChanged(nIndex);
        if (m_bLoading)
            return;
        const tcVar* pVar = GetPropertyVar(nIndex);
        m_Store[{pVar->GetPath(), pVar->GetName()}] = GetPropertyValue(nIndex);
        ++m_nWrites;
    }

    int m_nAdded = 0;
    int m_nWrites = 0;

private:
    tStore& m_Store;
    bool m_bLoading = false;
};

class RecordingProperties : public tcProperties
{
public:
    void OnPropertyValueChanged(int nIndex) override { m_anChanged.push_back(nIndex); }
    void OnPropertyAdded(int nIndex) override { m_anAdded.push_back(nIndex); }

    std::vector<int> m_anChanged;
    std::vector<int> m_anAdded;
};

} // namespace

TEST(PropertiesStore, DeclaringWithEmptyStoreWritesTheDefault)
{
    tStore store;
    StoreBackedProperties props(store);
    const int n = props.AddProperty(tTYPE_BOOL, "/App/FaultReports", "AllowSend", "1", "Send reports");

    EXPECT_EQ((store[{"/App/FaultReports", "AllowSend"}]), "1");
    EXPECT_EQ(props.m_nWrites, 1);
    EXPECT_TRUE(props.GetBool("/App/FaultReports", "AllowSend", false));
    const tcVar* pVar = props.GetPropertyVar(n);
    ASSERT_NE(pVar, nullptr);
    EXPECT_EQ(pVar->GetType(), tTYPE_BOOL);
    EXPECT_EQ(pVar->GetDescription(), "Send reports");
    EXPECT_EQ(pVar->GetMetatype(), tMETATYPE_UNSPECIFIED);
}

TEST(PropertiesStore, DeclaringTakesTheStoredValueWithoutWritingBack)
{
    tStore store{{{"/Network", "UseProxy"}, "http://proxy:3128"}, {{"/App", "Flag"}, "false"}};
    StoreBackedProperties props(store);
    props.AddProperty(tTYPE_STRING, "/Network", "UseProxy", "");
    props.AddProperty(tTYPE_BOOL, "/App", "Flag", "1");

    EXPECT_EQ(props.GetString("/Network", "UseProxy", "x"), "http://proxy:3128");
    EXPECT_FALSE(props.GetBool("/App", "Flag", true));
    EXPECT_EQ(props.m_nWrites, 0);
    EXPECT_EQ(store.size(), 2u);
}

TEST(PropertiesStore, LaterChangesWriteThroughAndRedeclaringChangesNothing)
{
    tStore store;
    StoreBackedProperties props(store);
    const int n = props.AddProperty(tTYPE_INTEGER, "/Backups", "Interval", "3600");
    ASSERT_TRUE(props.SetPropertyValue(n, "60"));
    EXPECT_EQ((store[{"/Backups", "Interval"}]), "60");

    // A component declaring its option again must not reset what the user chose.
    EXPECT_EQ(props.AddProperty(tTYPE_INTEGER, "/Backups", "Interval", "3600"), n);
    EXPECT_EQ(props.m_nAdded, 1);
    EXPECT_EQ(props.GetInt("/Backups", "Interval", 0), 60);
    EXPECT_EQ(props.GetNumProperties(), 1);
}

TEST(PropertiesStore, SetPropertyOnMissingPropertyAddsItAndTheCallersValueWins)
{
    // The store holds an older value; the added-hook loads it, but SetProperty was asked for "XLIFF".
    tStore store{{{"Document", "Type"}, "TMX"}};
    StoreBackedProperties props(store);
    const int n = props.SetProperty("Document", "Type", "XLIFF", tTYPE_STRING);

    EXPECT_EQ(props.m_nAdded, 1);
    EXPECT_EQ(props.GetPropertyValue(n), "XLIFF");
    EXPECT_EQ(props.GetPropertyVar(n)->GetType(), tTYPE_STRING);
    EXPECT_EQ((store[{"Document", "Type"}]), "XLIFF");
}

TEST(PropertiesNotification, OnlyRealChangesAreReported)
{
    RecordingProperties props;
    const int a = props.AddProperty(tTYPE_STRING, "/P", "A", "x");
    const int b = props.SetBool("/P", "B", true);
    EXPECT_EQ(props.m_anAdded, (std::vector<int>{a, b}));
    // SetBool on a missing property adds it with the value as default: nothing changed after that.
    EXPECT_TRUE(props.m_anChanged.empty());

    EXPECT_TRUE(props.SetPropertyValue(a, "x"));
    props.SetBool("/P", "B", true);
    EXPECT_TRUE(props.m_anChanged.empty());

    EXPECT_TRUE(props.SetPropertyValue(a, "y"));
    props.SetBool("/P", "B", false);
    props.SetString("/P", "A", "y");
    EXPECT_EQ(props.m_anChanged, (std::vector<int>{a, b}));

    EXPECT_FALSE(props.SetPropertyValue(7, "z"));
    EXPECT_FALSE(props.SetPropertyValue(-1, "z"));
    EXPECT_EQ(props.m_anChanged.size(), 2u);
}

TEST(PropertiesNotification, HookMayAddPropertiesWhileReportedPropertiesStayValid)
{
    struct Growing : tcProperties
    {
        void OnPropertyValueChanged(int nIndex) override
        {
            for (int i = 0; i < 50; ++i)
                AddProperty(tTYPE_INTEGER, "/Grow", wxString::Format("K%d_%d", nIndex, i), "0");
        }
    } props;
    const int n = props.AddProperty(tTYPE_STRING, "/P", "A", "x");
    const tcProperty* pFirst = props.GetProperty(n);
    props.SetPropertyValue(n, "changed");
    EXPECT_EQ(props.GetProperty(n), pFirst);
    EXPECT_EQ(pFirst->GetValue(), "changed");
    EXPECT_EQ(props.GetNumProperties(), 51);
}

struct GetterCase
{
    const char* szText;
    bool bBool;
    long nInt;
    double dDouble;
};

TEST(PropertiesGetters, TypedReadsOfValueTextFallBackToTheDefault)
{
    // Defaults are true / -99 / -9.5; a row that shows them means "does not read as that type".
    const GetterCase cases[] = {
        {"1", true, 1, 1.0},           {"0", false, 0, 0.0},
        {"true", true, -99, -9.5},     {"FALSE", false, -99, -9.5},
        {"no", false, -99, -9.5},      {" 42 ", true, 42, 42.0},
        {"+7", true, 7, 7.0},          {"-3", true, -3, -3.0},
        {"3.140000", true, -99, 3.14}, {"2.5e3", true, -99, 2500.0},
        {"12abc", true, -99, -9.5},    {"abc", true, -99, -9.5},
        {"", true, -99, -9.5},         {"99999999999999999999999", true, -99, 1e23},
    };
    for (const GetterCase& c : cases)
    {
        SCOPED_TRACE(c.szText);
        tcProperties props;
        props.AddProperty(tTYPE_STRING, "/T", "V", wxString::FromUTF8(c.szText));
        EXPECT_EQ(props.GetBool("/T", "V", true), c.bBool);
        EXPECT_EQ(props.GetInt("/T", "V", -99), c.nInt);
        EXPECT_DOUBLE_EQ(props.GetDouble("/T", "V", -9.5), c.dDouble);
    }
}

TEST(PropertiesGetters, MissingPropertiesGiveTheDefault)
{
    tcProperties props;
    props.SetInt("/T", "Present", 5);
    EXPECT_TRUE(props.GetBool("/T", "Missing", true));
    EXPECT_EQ(props.GetInt("/T", "present", 17), 17); // names compare with case
    EXPECT_EQ(props.GetInt("/Other", "Present", 17), 17);
    EXPECT_DOUBLE_EQ(props.GetDouble("/T", "Missing", 0.25), 0.25);
    EXPECT_EQ(props.GetString("/T", "Missing", "dflt"), "dflt");
    EXPECT_EQ(props.GetStringS("/T", "Missing", "dflt"), "dflt");
    EXPECT_EQ(props.GetValue("/T", "Missing", "dflt"), "dflt");
    EXPECT_EQ(props.GetProperty(1), nullptr);
    EXPECT_EQ(props.GetPropertyVar(-1), nullptr);
    EXPECT_EQ(props.GetPropertyValue(3), "");
    EXPECT_EQ(props.FindPropertyIndex("/T", "Missing"), -1);
}

TEST(PropertiesGetters, SettersWriteCanonicalTextAndWideTextSurvives)
{
    tcProperties props;
    props.SetBool("/S", "B", true);
    props.SetInt("/S", "I", -123456789L);
    props.SetStringW("/S", "W", L"Grüße 日本");
    EXPECT_EQ(props.GetValue("/S", "B", ""), "1");
    EXPECT_EQ(props.GetValue("/S", "I", ""), "-123456789");
    EXPECT_EQ(props.GetString("/S", "W", ""), wxString(L"Grüße 日本"));
    EXPECT_EQ(props.GetStringS("/S", "W", ""), "Grüße 日本");
    EXPECT_EQ(props.GetPropertyVar(props.FindPropertyIndex("/S", "W"))->GetType(), tTYPE_STRING);
}

TEST(PropertiesGetters, DoubleTextIsLocaleIndependentAndRoundTrips)
{
    wxString sTenth;
    double dThird = 0;
    double dHuge = 0;
    double dFixed = 0;
    {
        // A comma-decimal C++ locale must not leak into the stored text.
        const NumericLocaleGuard guard;
        std::locale::global(WithDecimalComma(std::locale::classic()));
        // The C library's own locale as well, where the machine has one with a comma.
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");

        tcProperties props;
        props.SetDouble("/D", "Tenth", 0.1);
        props.SetDouble("/D", "Third", 1.0 / 3.0);
        props.SetDouble("/D", "Huge", -1.5e300);
        sTenth = props.GetValue("/D", "Tenth", "");
        dThird = props.GetDouble("/D", "Third", 0);
        dHuge = props.GetDouble("/D", "Huge", 0);
        // Text written elsewhere in the "%f" form.
        props.SetString("/D", "Fixed", "2.500000");
        dFixed = props.GetDouble("/D", "Fixed", 0);
    }

    EXPECT_EQ(sTenth, "0.1");
    EXPECT_EQ(dThird, 1.0 / 3.0);
    EXPECT_EQ(dHuge, -1.5e300);
    EXPECT_EQ(dFixed, 2.5);
}

TEST(PropertiesLookup, PathsAndPropertiesExistExactlyAndClearEmpties)
{
    RecordingProperties props;
    props.AddProperty(tTYPE_STRING, "/UserInterface/Fonts", "Face", "Arial");
    props.AddProperty(tTYPE_STRING, "", "DefaultUserDocumentsFolder", "Docs");

    EXPECT_TRUE(props.PathExists("/UserInterface/Fonts"));
    EXPECT_TRUE(props.PathExists(""));
    EXPECT_FALSE(props.PathExists("/UserInterface"));
    EXPECT_FALSE(props.PathExists("/UserInterface/Fonts/"));
    EXPECT_TRUE(props.PropertyExists("", "DefaultUserDocumentsFolder"));
    EXPECT_FALSE(props.PropertyExists("/UserInterface/Fonts", "face"));
    EXPECT_EQ(props.FindPropertyIndex("", "DefaultUserDocumentsFolder"), 1);

    props.Clear();
    EXPECT_EQ(props.GetNumProperties(), 0);
    EXPECT_FALSE(props.PathExists("/UserInterface/Fonts"));
    EXPECT_EQ(props.GetString("", "DefaultUserDocumentsFolder", "none"), "none");
    EXPECT_TRUE(props.m_anChanged.empty());
}
