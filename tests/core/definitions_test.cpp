#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "framework/core/definitions.h"
#include "framework/core/text.h"

namespace pogoda {
namespace {

std::vector<std::string> g_log;

void Log(std::string entry) { g_log.push_back(std::move(entry)); }

enum TAlign { alNone, alTop, alClient };
enum : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };

class TTestFont : public TPersistent {
    POGODA_CLASS_NAME(TTestFont)
public:
    void SetName(const std::string& name) { Log("Font.Name=" + name); }
    void SetHeight(int height) { Log("Font.Height=" + IntToStr(height)); }
};

class TTestItem : public TCollectionItem {
    POGODA_CLASS_NAME(TTestItem)
public:
    using TCollectionItem::TCollectionItem;
    std::string caption;
    int64_t value = 0;
};

// Records every setter call, with the loading state it saw.
class TRecorder : public TComponent {
    POGODA_CLASS_NAME(TRecorder)
public:
    TRecorder(TComponent* owner, TComponent* parent) : TComponent(owner), m_parent(parent) {
        Log("create parent=" + (parent ? parent->Name() : std::string("-")));
    }

    void SetLeft(int left) { Record("Left", IntToStr(left)); }
    void SetCaption(std::string caption) {
        m_caption = caption;
        Record("Caption", caption);
    }
    void SetVisible(bool visible) { Record("Visible", visible ? "True" : "False"); }
    void SetAlign(TAlign align) { Record("Align", IntToStr(align)); }
    void SetIcons(unsigned icons) { Record("Icons", IntToStr(icons)); }
    void SetData(TStream& stream) {
        m_data.resize(static_cast<size_t>(stream.Size()));
        stream.ReadBuffer(m_data.data(), stream.Size());
        Record("Data", IntToStr(stream.Size()) + " bytes");
    }
    void SetBuddy(TRecorder* buddy) {
        m_buddy = buddy;
        Record("Buddy", buddy ? buddy->Name() : "nil");
    }
    void SetOnClick(TNotifyEvent e) {
        OnClick = e;
        Record("OnClick", e ? "set" : "nil");
    }
    TTestFont* Font() { return &m_font; }
    TCollection* Items() { return &m_items; }
    void Loaded() override {
        TComponent::Loaded();
        Log(Name() + " Loaded");
    }

    TComponent* Parent() const { return m_parent; }
    const std::string& Caption() const { return m_caption; }
    const std::string& Data() const { return m_data; }
    TRecorder* Buddy() const { return m_buddy; }
    TNotifyEvent OnClick;

private:
    void Record(const char* property, const std::string& value) {
        Log(Name() + "." + property + "=" + value + (IsLoading() ? "" : " (not loading)"));
    }

    TComponent* m_parent;
    std::string m_caption;
    std::string m_data;
    TRecorder* m_buddy = nullptr;
    TTestFont m_font;
    TOwnedCollection m_items{this, ItemClass<TTestItem>()};
};

class TOther : public TComponent {
    POGODA_CLASS_NAME(TOther)
public:
    using TComponent::TComponent;
};

class TTestForm : public TRecorder {
    POGODA_CLASS_NAME(TTestForm)
public:
    TTestForm() : TRecorder(nullptr, nullptr) {}
    void SetOnClose(TEvent<TObject*, int&> e) { OnClose = e; }
    void Button1Click(TObject* sender) { clickedBy = sender; }
    void FormClose(TObject*, int& action) { action = 2; }

    TEvent<TObject*, int&> OnClose;
    TObject* clickedBy = nullptr;
    TRecorder* Button1 = nullptr;
};

class DefinitionTest : public ::testing::Test {
protected:
    DefinitionTest() {
        g_log.clear();
        fontInfo.Property("Name", &TTestFont::SetName).Property("Height", &TTestFont::SetHeight);
        itemInfo.Property("Caption", [](TTestItem& i, std::string v) { i.caption = v; })
            .Property("Value", [](TTestItem& i, int64_t v) { i.value = v; });
        TClassInfo& recorder = registry.Register<TRecorder>(
            nullptr, [](TComponent* owner, TComponent* parent) -> TComponent* {
                return new TRecorder(owner, parent);
            });
        recorder.Property("Left", &TRecorder::SetLeft)
            .Property("Caption", &TRecorder::SetCaption)
            .Property("Visible", &TRecorder::SetVisible)
            .Enum("Align", &TRecorder::SetAlign,
                  {{"alNone", alNone}, {"alTop", alTop}, {"alClient", alClient}})
            .Set("Icons", &TRecorder::SetIcons,
                 {{"biSystemMenu", biSystemMenu},
                  {"biMinimize", biMinimize},
                  {"biMaximize", biMaximize}})
            .Property("Data", &TRecorder::SetData)
            .Property("Buddy", &TRecorder::SetBuddy)
            .Property("OnClick", &TRecorder::SetOnClick)
            .Object("Font", &TRecorder::Font, fontInfo)
            .Collection("Items", &TRecorder::Items, itemInfo);
        registry.Register<TOther>(nullptr);
        registry.Register<TTestForm>(&recorder)
            .Property("OnClose", &TTestForm::SetOnClose)
            .Handler("Button1Click", &TTestForm::Button1Click)
            .Handler("FormClose", &TTestForm::FormClose)
            .Field("Button1", &TTestForm::Button1);
    }

    void Read(std::string_view text) { ReadDefinition(form, text, registry); }
    TRecorder* Find(std::string_view name) {
        return dynamic_cast<TRecorder*>(form.FindComponent(name));
    }

    TClassInfo fontInfo{"TTestFont"};
    TClassInfo itemInfo{"TTestItem"};
    TClassRegistry registry;
    TTestForm form;
};

TEST_F(DefinitionTest, AppliesPropertiesInOrderAndDefersReferences) {
    Read("object Form1: TTestForm\n"
         "  Left = 242\n"
         "  object Button1: TRecorder\n"
         "    Buddy = Tray1\n"  // defined further down
         "    Caption = 'Go'\n"
         "    OnClick = Button1Click\n"
         "  end\n"
         "  Font.Name = 'Arial'\n"  // the root's properties may follow its children
         "  object Panel1: TRecorder\n"
         "    object Image1: TRecorder\n"
         "      Visible = True\n"
         "    end\n"
         "  end\n"
         "  object Tray1: TRecorder\n"
         "    Buddy = nil\n"
         "  end\n"
         "end\n");
    const std::vector<std::string> expected = {
        "Form1.Left=242",      "create parent=Form1",  "Button1.Caption=Go",  "Font.Name=Arial",
        "create parent=Form1", "create parent=Panel1", "Image1.Visible=True", "create parent=Form1",
        "Button1.Buddy=Tray1", "Button1.OnClick=set",  "Tray1.Buddy=nil",     "Form1 Loaded",
        "Button1 Loaded",      "Panel1 Loaded",        "Image1 Loaded",       "Tray1 Loaded",
    };
    EXPECT_EQ(g_log, expected);

    ASSERT_EQ(form.ComponentCount(), 4);  // the root owns every component
    EXPECT_EQ(form.Name(), "Form1");
    EXPECT_EQ(Find("image1")->Parent(), Find("Panel1"));
    EXPECT_EQ(Find("Button1")->Buddy(), Find("Tray1"));
    EXPECT_EQ(form.Button1, Find("Button1"));
    EXPECT_FALSE(form.IsLoading());
    EXPECT_FALSE(Find("Image1")->IsLoading());
}

TEST_F(DefinitionTest, BindsHandlersToTheRoot) {
    Read("object Form1: TTestForm\n"
         "  OnClose = FormClose\n"
         "  object Button1: TRecorder\n"
         "    OnClick = Button1Click\n"
         "  end\n"
         "end");
    form.Button1->OnClick(form.Button1);
    EXPECT_EQ(form.clickedBy, form.Button1);
    int action = 0;
    form.OnClose(&form, action);
    EXPECT_EQ(action, 2);
}

TEST_F(DefinitionTest, ReadsEveryKindOfValue) {
    Read("object Form1: TTestForm\n"
         "  Left = -11\n"
         "  Caption = 'It''s'#13#10'Погода' +\n"
         "    #$41'!'\n"
         "  Align = alClient\n"
         "  Icons = [biSystemMenu, biMaximize]\n"
         "  Font.Height = $10\n"
         "  Data = {00FF 7f41\n"
         "    0A}\n"
         "  Items = <\n"
         "    item\n"
         "      Caption = 'first'\n"
         "      Value = 9000000000\n"
         "    end\n"
         "    item\n"
         "    end>\n"
         "end");
    EXPECT_EQ(form.Caption(), "It's\r\n\xCF\xEE\xE3\xEE\xE4\xE0"
                              "A!");  // Cyrillic stays Windows-1251 bytes
    EXPECT_EQ(form.Data(), std::string("\x00\xFF\x7F\x41\x0A", 5));
    auto* items = dynamic_cast<TCollection*>(form.Items());
    ASSERT_EQ(items->Count(), 2);
    EXPECT_EQ(static_cast<TTestItem*>(items->Items(0))->caption, "first");
    EXPECT_EQ(static_cast<TTestItem*>(items->Items(0))->value, 9000000000);
    EXPECT_EQ(static_cast<TTestItem*>(items->Items(1))->caption, "");
    const std::vector<std::string> expected = {"Form1.Left=-11", "Form1.Caption=" + form.Caption(),
                                               "Form1.Align=2",  "Form1.Icons=5",
                                               "Font.Height=16", "Form1.Data=5 bytes",
                                               "Form1 Loaded"};
    EXPECT_EQ(g_log, expected);
}

TEST_F(DefinitionTest, ReadsFromAStreamAndReplacesACollection) {
    form.Items()->Add();
    const std::string text = "object Form1: TTestForm\r\n  Items = <>\r\n  Icons = []\r\nend\r\n";
    TMemoryStream stream;
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    stream.SetPosition(0);
    ReadDefinition(form, stream, registry);
    EXPECT_EQ(form.Items()->Count(), 0);
    EXPECT_EQ(g_log.front(), "Form1.Icons=0");
}

struct ErrorCase {
    const char* body;  // between "object Form1: TTestForm" and "end"
    const char* exceptionClass;
    const char* message;
};

TEST_F(DefinitionTest, ReportsErrorsWithTheirPlace) {
    const ErrorCase cases[] = {
        {"  object X1: TFoo\n  end\n", "EClassNotFound", "Class TFoo not found (line 2)"},
        {"  object X1: TTestForm\n  end\n", "EClassNotFound",
         "Class TTestForm cannot be created (line 2)"},
        {"  object X1: TRecorder\n  end\n  object x1: TRecorder\n  end\n", "EComponentError",
         "A component named x1 already exists (line 4)"},
        {"  object Button1: TOther\n  end\n", "EPropertyError",
         "Button1 is a TOther, not a TRecorder (line 2)"},
        {"  Bogus = 1\n", "EPropertyError",
         "Error reading Form1.Bogus: Property Bogus does not exist in class TTestForm (line 2)"},
        {"  Font.Bogus = 1\n", "EPropertyError",
         "Error reading Form1.Font.Bogus: Property Font.Bogus does not exist in class TTestForm"
         " (line 2)"},
        {"  Left = 'x'\n", "EPropertyError",
         "Error reading Form1.Left: Invalid property value 'x' (line 2)"},
        {"  Left = 4294967296\n", "EPropertyError",
         "Error reading Form1.Left: Integer value 4294967296 out of range (line 2)"},
        {"  Visible = Yes\n", "EPropertyError",
         "Error reading Form1.Visible: Invalid property value Yes (line 2)"},
        {"  Align = alBottom\n", "EPropertyError",
         "Error reading Form1.Align: Invalid property value alBottom (line 2)"},
        {"  Icons = [biHelp]\n", "EPropertyError",
         "Error reading Form1.Icons: Invalid property value biHelp (line 2)"},
        {"  Items = <\n    item\n      Bogus = 1\n    end>\n", "EPropertyError",
         "Error reading Form1.Items[0].Bogus: Property Bogus does not exist in class TTestItem"
         " (line 4)"},
        {"\n  OnClick = Nope\n", "EPropertyError",
         "Error reading Form1.OnClick = Nope: Handler Nope is not published by TTestForm"
         " (line 3)"},
        {"  OnClick = FormClose\n", "EPropertyError",
         "Error reading Form1.OnClick = FormClose: The handler's arguments do not fit the event"
         " (line 2)"},
        {"  Buddy = Nobody\n", "EPropertyError",
         "Error reading Form1.Buddy = Nobody: Component Nobody not found (line 2)"},
        {"  object O1: TOther\n  end\n  Buddy = O1\n", "EPropertyError",
         "Error reading Form1.Buddy = O1: O1 is a TOther, not a TRecorder (line 4)"},
        {"  Left 5\n", "EParserError", "Expected '=' but found 5 (line 2)"},
        {"  Caption = 'open\n", "EParserError", "Unterminated string (line 2)"},
        {"  Caption = #256\n", "EParserError", "Character code out of range (line 2)"},
        {"  Data = {ABC}\n", "EParserError", "Odd number of hex digits in binary data (line 2)"},
        {"  Data = {AB\n", "EParserError", "Invalid character #110 in binary data (line 3)"},
        {"  Data = file 'x.bin'\n", "EParserError",
         "A file reference must be turned into binary data when the definition is built"
         " (line 2)"},
        {"  Left = 12x\n", "EParserError", "Invalid integer 12x (line 2)"},
        {"  Left = ;\n", "EParserError", "Invalid character #59 (line 2)"},
        {"  object Button1: TRecorder\n", "EParserError",
         "Expected a property, 'object' or 'end' but found end of text (line 4)"},
        {"end\nextra\n", "EParserError", "Expected end of text but found 'extra' (line 3)"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.body);
        TTestForm target;
        try {
            ReadDefinition(target, std::string("object Form1: TTestForm\n") + c.body + "end\n",
                           registry);
            ADD_FAILURE() << "no exception";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.ClassName(), c.exceptionClass);
            EXPECT_EQ(e.Message(), c.message);
        }
    }
}

TEST_F(DefinitionTest, RefusesADefinitionOfAnotherRootClass) {
    try {
        Read("object Form2: TOther\nend");
        FAIL() << "no exception";
    } catch (const EParserError& e) {
        EXPECT_EQ(e.Message(),
                  "The definition of a TOther cannot be read into a TTestForm (line 1)");
    }
    EXPECT_EQ(form.Name(), "");
}

TEST_F(DefinitionTest, ReportsUnterminatedDataWhereItBegins) {
    try {
        Read("object Form1: TTestForm\n  Data = {AB\n\n");
        FAIL() << "no exception";
    } catch (const EParserError& e) {
        EXPECT_EQ(e.Message(), "Unterminated binary data (line 2)");
    }
}

// Every cut of a valid text before its last "end" is refused cleanly, wherever it falls.
TEST_F(DefinitionTest, RefusesEveryTruncation) {
    const std::string text = "object Form1: TTestForm\n"
                             "  Caption = 'Пого''да'#13 + 'x'\n"
                             "  Icons = [biSystemMenu, biMinimize]\n"
                             "  Data = {00FF\n 7F41}\n"
                             "  Items = <\n    item\n      Value = -$1F\n    end>\n"
                             "  object Button1: TRecorder\n    OnClick = Button1Click\n  end\n"
                             "end\n";
    const size_t lastEnd = text.rfind("end");
    for (size_t length = 0; length < lastEnd; ++length) {
        SCOPED_TRACE(length);
        TTestForm target;
        EXPECT_THROW(ReadDefinition(target, std::string_view(text).substr(0, length), registry),
                     Exception);
    }
    TTestForm target;
    ReadDefinition(target, std::string_view(text).substr(0, lastEnd + 3), registry);
    EXPECT_EQ(target.Caption(), "Пого'да\rx");
}

TEST_F(DefinitionTest, SetterFailuresKeepTheirClass) {
    TClassRegistry failing;
    failing.Register<TTestForm>(nullptr).Property(
        "Left", [](TTestForm&, int) { throw EConvertError("bad"); });
    TTestForm target;
    EXPECT_THROW(ReadDefinition(target, "object F: TTestForm\n  Left = 1\nend", failing),
                 EConvertError);
}

TEST_F(DefinitionTest, RefusesNestingWithoutBound) {
    std::string text = "object Form1: TTestForm\n";
    for (int i = 0; i < 100; ++i) text += "object C" + IntToStr(i) + ": TRecorder\n";
    for (int i = 0; i <= 100; ++i) text += "end\n";
    EXPECT_THROW(Read(text), EParserError);
}

// The build stored data/sample_window.txt: UTF-8 became Windows-1251 and the file
// reference became inline binary data.
TEST_F(DefinitionTest, ReadsADefinitionStoredByTheBuild) {
    TFileStream stored(POGODA_SAMPLE_WINDOW, fmOpenRead | fmShareDenyWrite);
    ReadDefinition(form, stored, registry);
    EXPECT_EQ(form.Caption(), "Погода в Тобольске");
    TMemoryStream binary;
    binary.LoadFromFile(POGODA_SAMPLE_BINARY);
    EXPECT_EQ(form.Data(), std::string(reinterpret_cast<const char*>(binary.Memory()),
                                       static_cast<size_t>(binary.Size())));
    EXPECT_EQ(g_log.back(), "Form1 Loaded");
}

TEST(ClassRegistryTest, RefusesADuplicateAndNamesAnUnknownClass) {
    TClassRegistry registry;
    registry.Register<TOther>(nullptr);
    EXPECT_THROW(registry.Register("tother", nullptr), EInvalidOperation);
    try {
        registry.Get("TFoo");
        FAIL() << "no exception";
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), "Class TFoo not found");
    }
    TOther owner(nullptr);
    TComponent* made = registry.Create("TOTHER", &owner, &owner);
    EXPECT_STREQ(made->ClassName(), "TOther");
    EXPECT_EQ(made->Owner(), &owner);
}

TEST(ClassInfoTest, DerivedTablesExtendTheirBase) {
    TClassInfo base("TBase");
    base.Property("Left", [](TOther&, int) {});
    TClassInfo derived("TDerived", &base);
    derived.Property("Caption", [](TOther&, std::string) {});
    EXPECT_NE(derived.FindProperty("left"), nullptr);
    EXPECT_NE(derived.FindProperty("Caption"), nullptr);
    EXPECT_EQ(base.FindProperty("Caption"), nullptr);
    EXPECT_THROW(derived.Property("caption", [](TOther&, bool) {}), EInvalidOperation);
}

}  // namespace
}  // namespace pogoda
