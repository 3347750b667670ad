#include "framework/win32/window_classes.h"

#include <mutex>

#include "framework/core/definitions.h"
#include "framework/win32/button.h"
#include "framework/win32/form.h"
#include "framework/win32/image.h"
#include "framework/win32/label.h"
#include "framework/win32/menus.h"
#include "framework/win32/panel.h"
#include "framework/win32/progress_bar.h"
#include "graphics/picture.h"

namespace pogoda {

namespace {

// A colour is a name (clBtnFace) or a number.
TColor ReadColor(const TStoredValue& value) {
    static const std::pair<const char*, TColor> kNames[] = {
        {"clBtnFace", clBtnFace}, {"clWindowText", clWindowText}, {"clWindow", clWindow},
        {"clBlue", clBlue},       {"clBlack", clBlack},           {"clWhite", clWhite},
    };
    if (value.kind == TStoredValue::vkInteger) return static_cast<TColor>(value.integer);
    if (value.kind == TStoredValue::vkIdent) {
        for (const auto& [name, color] : kNames) {
            if (value.text == name) return color;
        }
    }
    throw EPropertyError("Invalid property value");
}

int ReadCharset(const TStoredValue& value) {
    static const std::pair<const char*, int> kNames[] = {
        {"ANSI_CHARSET", ANSI_CHARSET},
        {"DEFAULT_CHARSET", DEFAULT_CHARSET},
        {"RUSSIAN_CHARSET", RUSSIAN_CHARSET},
    };
    if (value.kind == TStoredValue::vkInteger) return static_cast<int>(value.integer);
    if (value.kind == TStoredValue::vkIdent) {
        for (const auto& [name, charset] : kNames) {
            if (value.text == name) return charset;
        }
    }
    throw EPropertyError("Invalid property value");
}

template <class T>
TComponentFactory ControlFactory() {
    return [](TComponent* owner, TComponent* parent) -> TComponent* {
        auto* control = new T(owner);
        control->SetParent(dynamic_cast<TWinControl*>(parent));
        return control;
    };
}

void Register() {
    TClassRegistry& registry = ClassRegistry();

    TClassInfo& font = registry.Register("TFont", nullptr);
    font.Property("Name", &TFont::SetName)
        .Property("Height", &TFont::SetHeight)
        .Property("Color", [](TFont& f, const TStoredValue& v) { f.SetColor(ReadColor(v)); })
        .Property("Charset", [](TFont& f, const TStoredValue& v) { f.SetCharset(ReadCharset(v)); })
        .Set("Style", &TFont::SetStyle,
             {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline},
              {"fsStrikeOut", fsStrikeOut}});

    TClassInfo& control = registry.Register("TWinControl", nullptr);
    control.Property("Left", &TWinControl::SetLeft)
        .Property("Top", &TWinControl::SetTop)
        .Property("Width", &TWinControl::SetWidth)
        .Property("Height", &TWinControl::SetHeight)
        .Property("Caption", &TWinControl::SetCaption)
        .Property("Visible", &TWinControl::SetVisible)
        .Property("Enabled", &TWinControl::SetEnabled)
        .Property("Hint", &TWinControl::SetHint)
        .Property("ShowHint", &TWinControl::SetShowHint)
        .Property("ParentShowHint", &TWinControl::SetParentShowHint)
        .Property("ParentFont", &TWinControl::SetParentFont)
        .Property("TabOrder", &TWinControl::SetTabOrder)
        .Property("Color", [](TWinControl& c, const TStoredValue& v) { c.SetColor(ReadColor(v)); })
        .Property("OnClick", &TWinControl::SetOnClick)
        .Property("OnDblClick", &TWinControl::SetOnDblClick)
        .Enum("Align", &TWinControl::SetAlign,
              {{"alNone", alNone}, {"alTop", alTop}, {"alBottom", alBottom},
               {"alLeft", alLeft}, {"alRight", alRight}, {"alClient", alClient}})
        .Object("Font", &TWinControl::Font, font);

    TClassInfo& icon = registry.Register("TIcon", nullptr);
    icon.Property("Data", &TIcon::LoadFromStream);

    TClassInfo& form = registry.Register<TForm>(&control);
    form.Enum("BorderStyle", &TForm::SetBorderStyle,
              {{"bsNone", bsNone}, {"bsSingle", bsSingle}, {"bsSizeable", bsSizeable},
               {"bsDialog", bsDialog}, {"bsToolWindow", bsToolWindow},
               {"bsSizeToolWin", bsSizeToolWin}})
        .Set("BorderIcons", &TForm::SetBorderIcons,
             {{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize},
              {"biMaximize", biMaximize}, {"biHelp", biHelp}})
        .Property("ClientWidth", &TForm::SetClientWidth)
        .Property("ClientHeight", &TForm::SetClientHeight)
        .Enum("Position", &TForm::SetPosition,
              {{"poDesigned", poDesigned}, {"poDefault", poDefault},
               {"poDefaultPosOnly", poDefaultPosOnly}, {"poDefaultSizeOnly", poDefaultSizeOnly},
               {"poScreenCenter", poScreenCenter}, {"poDesktopCenter", poDesktopCenter},
               {"poMainFormCenter", poMainFormCenter}, {"poOwnerFormCenter", poOwnerFormCenter}})
        .Property("PixelsPerInch", &TForm::SetPixelsPerInch)
        // Designer bookkeeping with no effect at run time.
        .Property("OldCreateOrder", [](TForm&, bool) {})
        .Property("TextHeight", [](TForm&, int) {})
        .Property("OnClose", &TForm::SetOnClose)
        .Object("Icon", &TForm::Icon, icon);

    registry.Register<TButton>(&control, ControlFactory<TButton>());
    registry.Register<TProgressBar>(&control, ControlFactory<TProgressBar>())
        .Property("Min", &TProgressBar::SetMin)
        .Property("Max", &TProgressBar::SetMax)
        .Property("Position", &TProgressBar::SetPosition);
    registry.Register<TPanel>(&control, ControlFactory<TPanel>())
        .Enum("BevelOuter", &TPanel::SetBevelOuter,
              {{"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised},
               {"bvSpace", bvSpace}});
    registry.Register<TLabel>(&control, ControlFactory<TLabel>());

    TClassInfo& picture = registry.Register("TPicture", nullptr);
    picture.Property("Data", &TPicture::ReadStoredData);
    registry.Register<TImage>(&control, ControlFactory<TImage>())
        .Property("AutoSize", [](TImage& i, bool v) { i.View().SetAutoSize(v); })
        .Property("Center", [](TImage& i, bool v) { i.View().SetCenter(v); })
        .Property("Proportional", [](TImage& i, bool v) { i.View().SetProportional(v); })
        .Property("Stretch", [](TImage& i, bool v) { i.View().SetStretch(v); })
        .Property("Transparent", [](TImage& i, bool v) { i.View().SetTransparent(v); })
        .Object("Picture", &TImage::Picture, picture);

    registry.Register<TPopupMenu>(nullptr);
    registry.Register<TMenuItem>(nullptr, [](TComponent* owner, TComponent* parent) -> TComponent* {
        auto* item = new TMenuItem(owner);
        if (auto* menu = dynamic_cast<TPopupMenu*>(parent)) menu->Items()->Add(item);
        if (auto* parentItem = dynamic_cast<TMenuItem*>(parent)) parentItem->Add(item);
        return item;
    })
        .Property("Caption", &TMenuItem::SetCaption)
        .Property("Enabled", &TMenuItem::SetEnabled)
        .Property("Checked", &TMenuItem::SetChecked)
        .Property("OnClick", &TMenuItem::SetOnClick);
}

}  // namespace

void RegisterWindowClasses() {
    static std::once_flag once;
    std::call_once(once, Register);
}

}  // namespace pogoda
