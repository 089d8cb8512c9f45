// The script runner, its host and its dialogs.
#include "editor/script/ScriptRunner.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "app/FavouriteFonts.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "editor/Actions.h"
#include "editor/PlaybackDialogs.h"
#include "editor/dialogs/ObjectDialogs.h"
#include "editor/dialogs/OptionsForm.h"
#include "layout/Bars.h"

namespace sw {

namespace {

std::string Trim(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string WithoutAmpersand(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != '&') out += c;
    return Trim(out);
}

// The buttons of a box, by the captions a script answers with.
std::vector<std::pair<std::string, Answer>> ButtonsOf(Buttons b) {
    switch (b) {
        case Buttons::OK:
            return {{"OK", Answer::OK}};
        case Buttons::OKCancel:
            return {{"OK", Answer::OK}, {"Cancel", Answer::Cancel}};
        case Buttons::YesNo:
            return {{"Yes", Answer::Yes}, {"No", Answer::No}};
        case Buttons::YesNoCancel:
            return {{"Yes", Answer::Yes}, {"No", Answer::No}, {"Cancel", Answer::Cancel}};
        case Buttons::YesNoHelp:
            return {{"Yes", Answer::Yes}, {"No", Answer::No}, {"Help", Answer::Help}};
        case Buttons::YesAbort:
            return {{"Yes", Answer::Yes}, {"Abort", Answer::Abort}};
        case Buttons::OKAbort:
            return {{"OK", Answer::OK}, {"Abort", Answer::Abort}};
        case Buttons::YesNoAbort:
            return {{"Yes", Answer::Yes}, {"No", Answer::No}, {"Abort", Answer::Abort}};
        case Buttons::YesNoKeep:
            return {{"Yes", Answer::Yes},
                    {"No", Answer::No},
                    {"Don't close", Answer::Cancel},
                    {"Cancel", Answer::Cancel}};
        case Buttons::NoOK:
            return {{"No", Answer::No}, {"OK", Answer::OK}};
    }
    return {};
}

std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? ' ' : c;
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// The host

Answer ScriptHost::ask(const std::string& text, Buttons buttons) {
    const auto choices = ButtonsOf(buttons);
    if (choices.size() == 1) return choices.front().second;  // nothing to decide
    const std::optional<std::string> a = answers_.next();
    std::string offered;
    for (const auto& [caption, answer] : choices)
        offered += (offered.empty() ? "" : ", ") + caption;
    if (!a) {
        answers_.failures.push_back("unanswered question: \"" + OneLine(text) + "\" (" + offered +
                                    ")");
        return SafeDefault(buttons);
    }
    for (const auto& [caption, answer] : choices)
        if (Lower(caption) == Lower(Trim(*a))) return answer;
    answers_.failures.push_back("the answer \"" + *a + "\" is none of the buttons of \"" +
                                OneLine(text) + "\" (" + offered + ")");
    return SafeDefault(buttons);
}

Answer ScriptHost::message(MsgType, const std::string& text, Buttons buttons) {
    out_ << "message: " << OneLine(text) << "\n";
    return ask(text, buttons);
}

WarningAnswer ScriptHost::warning(const std::string& text, Buttons buttons) {
    out_ << "message: " << OneLine(text) << "\n";
    return WarningAnswer{ask(text, buttons), false};
}

std::optional<std::string> ScriptHost::input(const std::string& caption, const std::string& prompt,
                                             const std::string&) {
    out_ << "message: " << OneLine(caption + ": " + prompt) << "\n";
    const std::optional<std::string> a = answers_.next();
    if (!a) {
        answers_.failures.push_back("unanswered input box: \"" + OneLine(prompt) + "\"");
        return std::nullopt;
    }
    if (Lower(Trim(*a)) == "cancel") return std::nullopt;
    return *a;
}

std::optional<std::string> ScriptHost::fileName(const FileDialogSpec& spec) {
    out_ << "message: " << spec.title << "\n";
    const std::optional<std::string> a = answers_.next();
    if (!a) {
        answers_.failures.push_back("unanswered file dialog: \"" + spec.title + "\"");
        return std::nullopt;
    }
    if (Lower(Trim(*a)) == "cancel") return std::nullopt;
    std::string name = Trim(*a);
    if (!spec.defaultExtension.empty() && FileExtension(name).empty())
        name += "." + spec.defaultExtension;
    return name;
}

std::optional<std::string> ScriptHost::openFileName(const FileDialogSpec& spec) {
    return fileName(spec);
}

std::optional<std::string> ScriptHost::saveFileName(const FileDialogSpec& spec) {
    return fileName(spec);
}

// ---------------------------------------------------------------------------
// Dialogs

std::vector<DialogItem> ParseDialogAnswer(const std::string& line) {
    std::vector<DialogItem> items;
    std::stringstream in(line);
    std::string part;
    while (std::getline(in, part, ';')) {
        part = Trim(part);
        if (part.empty()) continue;
        // Captions may hold an "=" ("Sound = Bagpipe"); values given here do not.
        const std::size_t eq = part.rfind('=');
        if (eq == std::string::npos)
            items.push_back({part, std::nullopt});
        else
            items.push_back({Trim(part.substr(0, eq)), Trim(part.substr(eq + 1))});
    }
    return items;
}

const DialogControl* FindControl(const std::vector<DialogControl>& controls,
                                 const std::string& name, std::string& why) {
    const std::string want = Lower(WithoutAmpersand(name));
    std::vector<const DialogControl*> found;
    for (const DialogControl& c : controls)
        if (Lower(WithoutAmpersand(c.caption)) == want) found.push_back(&c);
    if (found.size() > 1) {
        // Captions that read alike are told apart by their "&".
        for (const DialogControl* c : found)
            if (Lower(Trim(c->caption)) == Lower(Trim(name))) return c;
        why = "\"" + name + "\" names more than one control; write it with its \"&\"";
        return nullptr;
    }
    if (found.empty()) {
        why = "there is no control \"" + name + "\"";
        return nullptr;
    }
    return found.front();
}

bool ScriptDialogs::run(const std::string& title, std::vector<DialogControl> controls,
                        const std::function<bool()>& ok, const std::string& cancel,
                        const bool* chosen, const std::string& accept) {
    bool cancelled = false, accepted = false;
    controls.push_back({accept, DialogControl::Button, true, nullptr, [&] { accepted = ok(); }});
    controls.push_back({cancel, DialogControl::Button, true, nullptr, [&] { cancelled = true; }});
    auto closed = [&] { return accepted || cancelled || (chosen && *chosen); };
    while (!closed()) {
        const std::optional<std::string> line = answers_.next();
        if (!line) {
            answers_.failures.push_back("the dialog \"" + title + "\" is open with no answer");
            return false;
        }
        for (const DialogItem& item : ParseDialogAnswer(*line)) {
            std::string why;
            const DialogControl* c = FindControl(controls, item.name, why);
            const bool enabled = c && (c->enabledNow ? c->enabledNow() : c->enabled);
            if (c && !enabled) why = "the control \"" + item.name + "\" is disabled";
            if (enabled) {
                if (item.value && !c->set)
                    why = "\"" + item.name + "\" takes no value";
                else if (!item.value && !c->press)
                    why = "\"" + item.name + "\" needs a value";
                else if (item.value && !c->set(*item.value))
                    why = "\"" + *item.value + "\" does not fit \"" + item.name + "\"";
                else if (!item.value)
                    c->press();
            }
            if (!why.empty()) {
                answers_.failures.push_back("in the dialog \"" + title + "\": " + why);
                return false;
            }
            if (closed()) break;
        }
    }
    return !cancelled;
}

namespace {

std::function<bool(const std::string&)> YesNoSetter(std::function<void(bool)> set) {
    return [set](const std::string& v) {
        const std::string l = Lower(v);
        if (l != "yes" && l != "no") return false;
        set(l == "yes");
        return true;
    };
}

std::function<bool(const std::string&)> YesNo(bool& flag) {
    return [&flag](const std::string& v) {
        const std::string l = Lower(v);
        if (l != "yes" && l != "no") return false;
        flag = l == "yes";
        return true;
    };
}

}  // namespace

HeaderFooterChooser::Choice ScriptDialogs::chooseHeaderFooter(const HeaderFooterChooser& c) {
    HeaderFooterChooser::Choice choice = c.chosen;
    std::vector<DialogControl> controls = {
        {"Define &Header", DialogControl::Button, c.headerEnabled, nullptr,
         [&] { choice = HeaderFooterChooser::HeaderArea; }},
        {"Define &Footer", DialogControl::Button, c.footerEnabled, nullptr,
         [&] { choice = HeaderFooterChooser::FooterArea; }},
    };
    const bool ok = run(
        "Headers and footers", std::move(controls),
        [&] { return choice != HeaderFooterChooser::None; }, "&Abort");
    return ok ? choice : HeaderFooterChooser::None;
}

bool ScriptDialogs::chooseSymbol(SymbolPaletteModel& model) {
    // A cell is named by its glyph's code; clicking one chooses it and closes.
    bool chosen = false;
    std::vector<DialogControl> controls = {
        {SymbolPaletteModel::kHints, DialogControl::Check, true, YesNo(model.hints), nullptr},
        {SymbolPaletteModel::kMoreThanOne, DialogControl::Check, true, YesNo(model.moreThanOne),
         nullptr},
    };
    for (int g : SymbolPaletteModel::Glyphs())
        controls.push_back({std::to_string(g), DialogControl::Button, true, nullptr,
                            [&model, &chosen, g] { chosen = model.choose(g); }});
    return run(
        MessageText(msg::SelectSymbolCaption), std::move(controls),
        [&model] { return model.chosen().has_value(); }, SymbolPaletteModel::kAbort, &chosen);
}

bool ScriptDialogs::chooseShape(ShapePaletteModel& model) {
    bool chosen = false;
    std::vector<DialogControl> controls = {
        {ShapePaletteModel::kBlack, DialogControl::Button, true, nullptr,
         [&model] { model.white = false; }},
        {ShapePaletteModel::kWhite, DialogControl::Button, true, nullptr,
         [&model] { model.white = true; }},
    };
    for (int k = 0; k < static_cast<int>(ShapePaletteModel::kShapes.size()); ++k) {
        DialogControl c{ShapePaletteModel::kShapes[static_cast<std::size_t>(k)],
                        DialogControl::Button, true, nullptr,
                        [&model, &chosen, k] { chosen = model.choose(k); }};
        c.enabledNow = [&model, k] { return model.enabled(k); };
        controls.push_back(std::move(c));
    }
    return run(
        MessageText(msg::ShapesCaption), std::move(controls),
        [&model] { return model.chosen().has_value(); }, "Cancel", &chosen);
}

bool ScriptDialogs::chooseFont(FontDesc& font) {
    FontDesc f = font;
    bool bold = f.style & kBold, italic = f.style & kItalic, underline = f.style & kUnderline;
    std::vector<DialogControl> controls = {
        {"&Font", DialogControl::Box, true,
         [&f](const std::string& v) {
             if (v.empty() || v.size() > kMaxFontName) return false;
             f.name = v;
             return true;
         },
         nullptr},
        {"&Size", DialogControl::Box, true,
         [&f](const std::string& v) {
             const std::optional<double> n = ParseReal(v);
             if (!n || *n < 1 || *n > 200 || *n != static_cast<int>(*n)) return false;
             f.size = static_cast<int16_t>(*n);
             return true;
         },
         nullptr},
        {"&Bold", DialogControl::Check, true, YesNo(bold), nullptr},
        {"&Italic", DialogControl::Check, true, YesNo(italic), nullptr},
        {"&Underline", DialogControl::Check, true, YesNo(underline), nullptr},
    };
    if (!run(MessageText(msg::FontCaption), std::move(controls), [] { return true; })) return false;
    f.style = static_cast<uint8_t>((f.style & kStrikeOut) | (bold ? kBold : 0) |
                                   (italic ? kItalic : 0) | (underline ? kUnderline : 0));
    font = f;
    return true;
}

std::optional<FontDesc> ScriptDialogs::selectFavourite() {
    if (!fonts_) return std::nullopt;
    FavouriteFontsModel model(*fonts_, true, false);
    bool chosen = false;
    std::vector<DialogControl> controls;
    for (int n = 1; n <= FavouriteFontsModel::kCount; ++n)
        controls.push_back(
            {model.description(n), DialogControl::Button, true, nullptr, [&model, &chosen, n] {
                 model.click(n);
                 chosen = model.chosen() != 0;
             }});
    // A click on a font closes the window; there is no OK.
    if (!run(
            model.heading(), std::move(controls), [] { return false; }, "Cancel", &chosen) ||
        !chosen)
        return std::nullopt;
    return FavouriteFontDesc(model.font(model.chosen()));
}

bool ScriptDialogs::pageSetup(PageData& page, bool& metric) {
    PaperDialogModel model(page, metric, warnings_);
    model.open(host_);
    std::vector<DialogControl> controls;
    for (const PaperBoxCaption& b : kPaperBoxes)
        controls.push_back({b.caption, DialogControl::Box, true,
                            [this, &model, box = b.box](const std::string& v) {
                                model.editBox(box, v, host_);
                                return true;
                            },
                            nullptr});
    bool facing = model.page().Facing;
    controls.push_back({"&Facing pages", DialogControl::Check, true, YesNo(facing), nullptr});
    for (int i = 0; i < kCustomSize; ++i)
        controls.push_back({kStandardSizes[static_cast<std::size_t>(i)].caption,
                            DialogControl::Button, true, nullptr,
                            [this, &model, i] { model.chooseStandardSize(i, host_); }});
    controls.push_back({"Custom si&ze", DialogControl::Button, true, nullptr, [] {}});
    controls.push_back(
        {"&Inch", DialogControl::Button, true, nullptr, [&model] { model.setMetric(false); }});
    controls.push_back(
        {"&mm", DialogControl::Button, true, nullptr, [&model] { model.setMetric(true); }});
    controls.push_back({"&Portrait", DialogControl::Button, true, nullptr,
                        [this, &model] { model.setLandscape(false, host_); }});
    controls.push_back({"Land&scape", DialogControl::Button, true, nullptr,
                        [this, &model] { model.setLandscape(true, host_); }});
    controls.push_back({"U&se Largest Possible", DialogControl::Button, true, nullptr,
                        [this, &model] { model.useLargest(printer_, host_); }});
    const bool ok = run("Page Layout", std::move(controls), [&] {
        model.setFacing(facing);
        return model.accept(printer_, host_);
    });
    metric = model.metric();
    if (ok) page = model.page();
    return ok;
}

std::optional<double> ScriptDialogs::staveSize(StaveSizeDialogModel& model, const Score& score) {
    std::optional<double> size;
    std::vector<DialogControl> controls = {
        {model.label(), DialogControl::Box, true,
         [&model](const std::string& v) {
             model.setBoxText(v);
             return true;
         },
         nullptr},
        {"Size", DialogControl::Box, true,
         [&model](const std::string& v) {
             model.setBoxText(v);
             return true;
         },
         nullptr},
        {"&Largest possible", DialogControl::Button, true, nullptr,
         [&model, &score] { model.largestPossible(score); }},
    };
    if (!run("Set Stave Size", std::move(controls), [&] {
            size = model.accept(host_);
            return size.has_value();
        }))
        return std::nullopt;
    return size;
}

bool ScriptDialogs::noteAlignment(NoteAlignmentModel& model) {
    using C = DialogControl;
    auto extent = [&model](AlignExtent e) { return [&model, e] { model.extent = e; }; };
    std::vector<DialogControl> controls = {
        {"Current &Stave", C::Button, true, nullptr, extent(AlignExtent::Stave)},
        {"&Current System", C::Button, true, nullptr, extent(AlignExtent::System)},
        {"&Whole Score", C::Button, true, nullptr, extent(AlignExtent::Score)},
        {"A&verage position", C::Button, true, nullptr, [&model] { model.average = true; }},
        {"Use &Leftmost note", C::Button, true, nullptr, [&model] { model.average = false; }},
        {"&Proximity", C::Box, true,
         [&model](const std::string& v) { return model.setProximityText(v); }, nullptr},
        {"Include &Grace notes", C::Check, true, YesNo(model.includeGrace), nullptr},
    };
    return run(MessageText(msg::NoteAlignmentCaption), std::move(controls), [] { return true; });
}

bool ScriptDialogs::verticalSpacing(VerticalSpacingModel& model) {
    using M = VerticalSpacingModel;
    std::vector<DialogControl> controls = {
        {M::kTypes[0], DialogControl::Button, true, nullptr, [&] { model.equalSystems = true; }},
        {M::kTypes[1], DialogControl::Button, true, nullptr, [&] { model.equalSystems = false; }},
        {M::kExplain, DialogControl::Button, true, nullptr,
         [this] {
             host_.message(MsgType::Information, MessageText(msg::VerticalSpacingExplanation),
                           Buttons::OK);
         }},
    };
    return run(M::kCaption, std::move(controls), [] { return true; });
}

bool ScriptDialogs::barMaintenance(BarMaintenanceModel& model) {
    using M = BarMaintenanceModel;
    using C = DialogControl;
    std::vector<DialogControl> controls;
    for (int k = 0; k < M::kOperationCount; ++k) {
        const auto op = static_cast<M::Operation>(k);
        controls.push_back({M::kOperations[static_cast<std::size_t>(k)], C::Button, true, nullptr,
                            [&model, op] { model.choose(op); },
                            [&model, op] { return model.enabled(op); }});
    }
    auto number = [&model](const std::string& v) {
        const std::optional<long long> n = ParseGotoNumber(v);
        return n && *n >= 1 && *n <= kMaxBarNumber && model.setNumber(static_cast<int>(*n));
    };
    for (M::Operation op : {M::kGoTo, M::kRefresh}) {
        M probe = model;
        probe.choose(op);
        controls.push_back({probe.spinLabel(), C::Box, true, number, nullptr,
                            [&model, op] { return model.operation() == op; }});
    }
    const auto places = model.placeCaptions();
    for (std::size_t k = 0; k < places.size(); ++k)
        controls.push_back({places[k], C::Button, true, nullptr,
                            [&model, k] { model.setPlace(static_cast<int>(k)); },
                            [&model] { return model.positionShown(); }});
    controls.push_back({M::kFrequencyCaption, C::Box, true,
                        [&model](const std::string& v) {
                            const std::optional<long long> n = ParseGotoNumber(v);
                            if (!n || !ValidNumberingFrequency(static_cast<int>(*n))) return false;
                            model.setFrequency(static_cast<int>(*n));
                            return true;
                        },
                        nullptr, [&model] { return model.frequencyShown(); }});
    controls.push_back({M::kBoxed, C::Check, true,
                        YesNoSetter([&model](bool on) { model.setBoxed(on); }), nullptr});
    controls.push_back({M::kChangeFont, C::Button, true, nullptr, [this, &model] {
                            FontDesc font = model.font();
                            if (chooseFont(font)) model.setFont(font);
                        }});
    return run(
        M::kCaption, std::move(controls), [] { return true; }, "Cancel", nullptr, "OK");
}

bool ScriptDialogs::showForm(AttributeForm& form) {
    using C = DialogControl;
    std::vector<DialogControl> controls, choices;
    bool closed = false;
    const auto& all = form.controls();
    for (std::size_t n = 0; n < all.size(); ++n) {
        const int id = static_cast<int>(n);
        const FormControl& f = all[n];
        auto usable = [&form, id] { return form.usable(id); };
        C c{f.caption, C::Box, true, nullptr, nullptr, usable};
        switch (f.kind) {
            case FormControl::Radio:
                c.set = [&form, id](const std::string& v) {
                    const FormControl& g = form.control(id);
                    for (std::size_t k = 0; k < g.choices.size(); ++k)
                        if (Lower(WithoutAmpersand(g.choices[k])) == Lower(WithoutAmpersand(v)) &&
                            g.choiceUsable(static_cast<int>(k))) {
                            form.choose(id, static_cast<int>(k));
                            return true;
                        }
                    return false;
                };
                for (std::size_t k = 0; k < f.choices.size(); ++k) {
                    const int choice = static_cast<int>(k);
                    choices.push_back({f.choices[k], C::Button, true, nullptr,
                                       [&form, &closed, id, choice] {
                                           form.choose(id, choice);
                                           closed = form.finished();
                                       },
                                       [&form, id, choice] {
                                           return form.usable(id) &&
                                                  form.control(id).choiceUsable(choice);
                                       }});
                }
                break;
            case FormControl::Box:
                c.set = [this, &form, id](const std::string& v) {
                    return form.setText(id, v, host_);
                };
                break;
            case FormControl::Memo:
                c.set = [this, &form, id](const std::string& v) {
                    std::string lines = v;
                    std::replace(lines.begin(), lines.end(), '|', '\n');
                    return form.setText(id, lines, host_);
                };
                break;
            case FormControl::Check:
                c.kind = C::Check;
                c.set = [&form, id](const std::string& v) {
                    const std::string l = Lower(v);
                    if (l != "yes" && l != "no") return false;
                    form.setCheck(id, l == "yes");
                    return true;
                };
                break;
            case FormControl::Button:
                c.kind = C::Button;
                c.press = [this, &form, &closed, id] {
                    form.press(id, host_);
                    closed = form.finished();
                };
                break;
            case FormControl::Label:
                continue;
        }
        controls.push_back(std::move(c));
    }
    // Buttons come before choices, so "&3" is the button where a choice reads alike.
    controls.insert(controls.end(), choices.begin(), choices.end());
    controls.push_back({"Explain", C::Button, true, nullptr, [this, &form] {
                            host_.message(MsgType::Information, form.explanation(), Buttons::OK);
                        }});
    const bool chooser = dynamic_cast<ObjectTypeSelection*>(&form) != nullptr;
    const bool ok = run(
        form.title(), std::move(controls), [this, &form] { return form.accept(host_); },
        chooser ? "C&ancel" : "Cancel", &closed);
    return ok && (!chooser || closed);
}

bool ScriptDialogs::neatenStaves(NeatenDialogModel& model) {
    auto scope = [&model](NeatenScope c) { return [&model, c] { model.scope = c; }; };
    std::vector<DialogControl> controls = {
        {"This &system", DialogControl::Button, true, nullptr, scope(NeatenScope::System)},
        {"This &page", DialogControl::Button, true, nullptr, scope(NeatenScope::Page)},
        {"&Whole Score", DialogControl::Button, true, nullptr, scope(NeatenScope::Score)},
        // The slider, by its position from Durational (0) to Equal (100).
        {"&Note Spacing", DialogControl::Box, true,
         [&model](const std::string& v) { return model.setSpacingText(v); }, nullptr},
    };
    return run(MessageText(msg::NeatenCaption), std::move(controls), [] { return true; });
}

bool ScriptDialogs::blockAction(BlockActionModel& model) {
    bool chosen = false;
    std::vector<DialogControl> controls;
    for (const BlockActionButton& b : BlockActionModel::kButtons)
        if (b.action != BlockAction::Cancel)
            controls.push_back(
                {b.caption, DialogControl::Button, true, nullptr, [&model, &chosen, b] {
                     model.choose(b.action);
                     chosen = true;
                 }});
    return run(
        BlockActionModel::kCaption, std::move(controls), [] { return false; }, "C&ancel", &chosen);
}

bool ScriptDialogs::transpose(TransposeDialogModel& model) {
    using M = TransposeDialogModel;
    using C = DialogControl;
    std::vector<DialogControl> controls;
    for (std::size_t k = 0; k < M::kIntervals.size(); ++k)
        controls.push_back({M::kIntervals[k], C::Button, true, nullptr,
                            [&model, k] { model.chooseInterval(static_cast<int>(k)); }});
    // The list takes an item's caption; the box a number of semitones.
    controls.push_back({M::kIntervalLabel, C::Box, true,
                        [&model](const std::string& v) {
                            for (std::size_t k = 0; k < M::kIntervals.size(); ++k)
                                if (Lower(v) == Lower(M::kIntervals[k])) {
                                    model.chooseInterval(static_cast<int>(k));
                                    return true;
                                }
                            return false;
                        },
                        nullptr});
    controls.push_back({M::kDistanceLabel, C::Box, true,
                        [&model](const std::string& v) { return model.setDistanceText(v); },
                        nullptr});
    controls.push_back({M::kStems, C::Check, true, YesNo(model.adjustStems), nullptr});
    controls.push_back({M::kRespace, C::Check, true, YesNo(model.respace), nullptr});
    for (std::size_t k = 0; k < M::kExtents.size(); ++k)
        controls.push_back({M::kExtents[k], C::Button, true, nullptr, [this, &model, k] {
                                model.chooseExtent(static_cast<TransposeExtent>(k), host_);
                            }});
    for (std::size_t k = 0; k < M::kClefs.size(); ++k)
        controls.push_back({M::kClefs[k], C::Button, true, nullptr, [this, &model, k] {
                                model.chooseClefItem(static_cast<int>(k), host_, warnings_);
                            }});
    controls.push_back(
        {M::kExplain, C::Button, true, nullptr, [this, &model] { model.explain(host_); }});
    return run(
        M::kCaption, std::move(controls), [&] { return model.doIt(host_, warnings_); }, M::kCancel,
        nullptr, M::kDoIt);
}

bool ScriptDialogs::scottishPipes(PipesDialogModel& model) {
    using M = PipesDialogModel;
    std::vector<DialogControl> controls;
    for (std::size_t k = 0; k < M::kChoices.size(); ++k)
        controls.push_back(
            {M::kChoices[k], DialogControl::Check, true, YesNo(model.choice(k)), nullptr});
    controls.push_back(
        {M::kRemove, DialogControl::Button, true, nullptr, [&model] { model.remove(); }});
    controls.push_back({M::kExplain, DialogControl::Button, true, nullptr,
                        [this, &model] { model.explain(host_); }});
    return run(M::kCaption, std::move(controls), [] { return true; });
}

bool ScriptDialogs::randomTune(RandomTuneDialogModel& model) {
    using M = RandomTuneDialogModel;
    using C = DialogControl;
    // The clef and complexity take a choice's caption as well as its button.
    auto choice = [](const auto& captions, auto pick) {
        return [&captions, pick](const std::string& v) {
            for (std::size_t k = 0; k < captions.size(); ++k)
                if (Lower(WithoutAmpersand(captions[k])) == Lower(Trim(v))) return pick(k), true;
            return false;
        };
    };
    auto clef = [&model](std::size_t k) { model.options.clef = static_cast<int>(k); };
    auto complexity = [&model](std::size_t k) {
        model.options.complexity = static_cast<TuneComplexity>(k);
    };
    std::vector<DialogControl> controls = {
        {M::kClefTitle, C::Box, true, choice(M::kClefs, clef), nullptr},
        {M::kComplexityTitle, C::Box, true, choice(M::kComplexities, complexity), nullptr},
        {M::kLength, C::Box, true,
         [&model](const std::string& v) { return model.setLengthText(v); }, nullptr}};
    for (std::size_t k = 0; k < M::kClefs.size(); ++k)
        controls.push_back({M::kClefs[k], C::Button, true, nullptr, [clef, k] { clef(k); }});
    for (std::size_t k = 0; k < M::kComplexities.size(); ++k)
        controls.push_back(
            {M::kComplexities[k], C::Button, true, nullptr, [complexity, k] { complexity(k); }});
    return run(
        M::kCaption, std::move(controls), [] { return true; }, M::kAbort, nullptr, M::kOk);
}

bool ScriptDialogs::options(OptionsModel& model) {
    using C = DialogControl;
    using K = OptionControl;
    OptionsHelpers helpers;
    helpers.chooseInstrument = [this](int current) { return chooseInstrument(current); };
    helpers.pageSetup = [this](PageData& page, bool& metric, bool) {
        return pageSetup(page, metric);
    };
    // The colour dialog takes its colour as a number, 0x00BBGGRR.
    helpers.chooseColour = [this](uint32_t current) -> std::optional<uint32_t> {
        char was[16];
        std::snprintf(was, sizeof was, "0x%06X", current);
        const std::optional<std::string> typed =
            host_.input(MessageText(msg::ChooseEditColour), "Colour (0x00BBGGRR):", was);
        if (!typed) return std::nullopt;
        char* end = nullptr;
        const unsigned long c = std::strtoul(typed->c_str(), &end, 0);
        if (typed->empty() || *end != 0 || c > 0xFFFFFF) return std::nullopt;
        return static_cast<uint32_t>(c);
    };
    // The information window's lines reach stderr as the report's do.
    helpers.scoreInformation = [this](const Score& score, int page) {
        std::string text;
        const auto pages = ScoreInformationPages(score);
        for (const std::string& line : pages[std::size_t(page & 1)])
            text += (text.empty() ? "" : "\n") + line;
        host_.message(MsgType::Information, text, Buttons::OK);
    };
    OptionsForm form(model, host_, warnings_, std::move(helpers));
    std::vector<DialogControl> controls;
    // Each control is reached by its caption and, where it has one, its name.
    auto add = [&controls](const OptionControl& c, C control) {
        control.caption = c.caption;
        if (!c.caption.empty()) controls.push_back(control);
        if (!c.name.empty()) {
            control.caption = c.name;
            controls.push_back(std::move(control));
        }
    };
    for (int id = 0; id < static_cast<int>(form.controls().size()); ++id) {
        const OptionControl& c = form.control(id);
        if (!form.tabShown(c.tab)) continue;
        auto on = [&form, id] { return form.enabled(id); };
        switch (c.kind) {
            case K::Radio: {
                // The group takes a choice's caption; each choice is a button.
                add(c,
                    {"", C::Box, true,
                     [&form, id](const std::string& text) {
                         const std::vector<std::string> all = form.choices(id);
                         for (std::size_t k = 0; k < all.size(); ++k)
                             if (Lower(WithoutAmpersand(all[k])) == Lower(WithoutAmpersand(text)))
                                 return form.choose(id, static_cast<int>(k));
                         return false;
                     },
                     nullptr, on});
                const std::vector<std::string> all = form.choices(id);
                for (std::size_t k = 0; k < all.size(); ++k) {
                    OptionControl choice;
                    choice.caption = all[k];
                    if (k < c.choiceNames.size()) choice.name = c.choiceNames[k];
                    add(choice, {"", C::Button, true, nullptr,
                                 [&form, id, k] { form.choose(id, static_cast<int>(k)); }, on});
                }
                break;
            }
            case K::Check:
                add(c, {"", C::Check, true,
                        YesNoSetter([&form, id](bool v) { form.setCheck(id, v); }), nullptr, on});
                break;
            case K::Spin:
                add(c, {"", C::Box, true,
                        [&form, id](const std::string& text) {
                            const std::string t = Trim(text);
                            char* end = nullptr;
                            const long n = std::strtol(t.c_str(), &end, 10);
                            return !t.empty() && *end == 0 && n >= INT32_MIN && n <= INT32_MAX &&
                                   form.setValue(id, static_cast<int>(n));
                        },
                        nullptr, on});
                break;
            case K::Button:
                add(c, {"", C::Button, true, nullptr, [&form, id] { form.press(id); }, on});
                break;
            case K::List:
            case K::Folder:
                add(c,
                    {"", C::Box, true,
                     [&form, id](const std::string& text) { return form.setText(id, Trim(text)); },
                     nullptr, on});
                break;
            case K::Label:
                break;
        }
    }
    controls.push_back({"Explain", C::Button, true, nullptr, [this, &form] {
                            host_.message(MsgType::Information, form.explanation(), Buttons::OK);
                        }});
    return run(
        "Staffwright 5 Options", std::move(controls), [&form] { return form.accept(); }, "C&ancel",
        nullptr, "O&K");
}

std::optional<int> ScriptDialogs::chooseInstrument(int current) {
    using M = InstrumentChooserModel;
    using C = DialogControl;
    M model(current, favourites_ ? *favourites_ : std::vector<int>());
    std::vector<DialogControl> controls;
    for (int p = -1; p <= M::kSilence; ++p)
        controls.push_back(
            {M::Name(p), C::Button, true, nullptr, [&model, p] { model.choose(p); }});
    controls.push_back({M::kSelected, C::Box, true,
                        [&model](const std::string& v) {
                            const int p = M::ProgramOf(v);
                            if (p < -1) return false;
                            model.choose(p);
                            return true;
                        },
                        nullptr});
    controls.push_back(
        {M::kAddFavourite, C::Button, true, nullptr, [&model] { model.addFavourite(); }});
    controls.push_back(
        {M::kRemoveFavourite, C::Button, true, nullptr, [&model] { model.removeFavourite(); }});
    if (!run(M::kCaption, std::move(controls), [] { return true; })) return std::nullopt;
    if (favourites_) *favourites_ = model.favourites();
    return model.chosen();
}

std::optional<int> ScriptDialogs::chooseTemperament(int current) {
    using M = TemperamentDialogModel;
    M model(current);
    std::vector<DialogControl> controls;
    for (std::size_t k = 0; k < M::kChoices.size(); ++k)
        controls.push_back({M::kChoices[k], DialogControl::Button, true, nullptr,
                            [&model, k] { model.choose(static_cast<int>(k)); }});
    if (!run(M::kCaption, std::move(controls), [] { return true; })) return std::nullopt;
    return model.chosen();
}

bool ScriptDialogs::staveAttributes(StaveAttributesModel& model) {
    using M = StaveAttributesModel;
    using C = DialogControl;
    auto on = [&model](M::Control c) { return [&model, c] { return model.enabled(c); }; };
    auto check = [&](const std::string& caption, M::Control c) {
        return C{caption,
                 C::Check,
                 true,
                 [&model, c](const std::string& v) {
                     const std::string l = Lower(v);
                     if (l != "yes" && l != "no") return false;
                     model.set(c, l == "yes");
                     return true;
                 },
                 nullptr,
                 on(c)};
    };
    auto choice = [&](const std::string& caption, M::Control c, bool value) {
        return C{caption, C::Button, true, nullptr, [&model, c, value] { model.set(c, value); },
                 on(c)};
    };
    auto chooser = [this](int current) { return chooseInstrument(current); };
    std::vector<C> controls = {
        choice("&Do not join to next", M::Join, false),
        choice("&Join to next", M::Join, true),
        check("Wit&h brace", M::Brace),
        check("Barline thro&ugh", M::BarlineThrough),
        check("With brac&ket", M::Bracket),
        check("Bracket with ne&xt", M::BracketNext),
        check(model.pageBreakCaption(), M::PageBreak),
        choice("&5", M::OneLine, false),
        choice("&1", M::OneLine, true),
        choice("Nor&mal", M::Small, false),
        choice("&Small", M::Small, true),
        {"T&ranspose", C::Box, true,
         [&model](const std::string& v) {
             char* end = nullptr;
             const long n = std::strtol(v.c_str(), &end, 10);
             return !v.empty() && *end == 0 && model.setTranspose(static_cast<int>(n));
         },
         nullptr},
        {"Octa&ve Up", C::Button, true, nullptr, [&model] { model.octave(true); }},
        {"Octave Do&wn", C::Button, true, nullptr, [&model] { model.octave(false); }},
        {"All", C::Button, true, nullptr, [&model, chooser] { model.chooseInstrumentUp(chooser); }},
        {"Stems Down only", C::Button, true, nullptr,
         [this, &model, chooser] { model.chooseInstrumentDown(chooser, host_); }},
        {"Re&plicate attributes", C::Check, true,
         YesNoSetter([&model](bool v) { model.setReplicate(v); }), nullptr},
    };
    const std::string places[] = {"&None", model.aboveCaption(), model.leftCaption(),
                                  "On &barlines"};
    for (int k = 0; k < 4; ++k)
        controls.push_back(
            {places[k], C::Button, true, nullptr, [&model, k] { model.setBarNumbers(k); }});
    return run(model.caption(), std::move(controls), [] { return true; });
}

std::optional<int> ScriptDialogs::popup(const MenuModel& menu) {
    const std::optional<std::string> a = answers_.next();
    if (!a) {
        answers_.failures.push_back("the menu " + menu.name + " is open with no answer");
        return std::nullopt;
    }
    const std::string want = Lower(PlainCaption(Trim(*a)));
    for (std::size_t k = 0; k < menu.items.size(); ++k) {
        const MenuItem& item = menu.items[k];
        if (item.caption.empty() || Lower(PlainCaption(item.caption)) != want) continue;
        if (item.enabled) return static_cast<int>(k);
        answers_.failures.push_back("the item \"" + *a + "\" of " + menu.name + " is disabled");
        return std::nullopt;
    }
    answers_.failures.push_back("the menu " + menu.name + " has no item \"" + *a + "\"");
    return std::nullopt;
}

bool ScriptDialogs::tremoloBeams(TremoloBeamsModel& model) {
    std::vector<DialogControl> controls;
    for (int k = 0; k < static_cast<int>(TremoloBeamsModel::kChoices.size()); ++k)
        controls.push_back({TremoloBeamsModel::kChoices[static_cast<std::size_t>(k)],
                            DialogControl::Button, true, nullptr,
                            [&model, k] { model.choose(k); }});
    return run(MessageText(msg::TremoloBeamsCaption), std::move(controls), [] { return true; });
}

// ---------------------------------------------------------------------------
// The runner

namespace {

// The words of a line after its command.
std::vector<std::string> Words(const std::string& rest) {
    std::vector<std::string> words;
    std::stringstream in(rest);
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

std::optional<long> Number(const std::string& s) {
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (*end != '\0' || v < -1000000 || v > 1000000) return std::nullopt;
    return v;
}

// The modes a script may name, as the command that enters each.
std::optional<Action> ModeAction(const std::string& name) {
    static const std::pair<const char*, Action> kModeActions[] = {
        {"music", Action::EnterMusic},    {"text", Action::TextMode},
        {"line", Action::LineMode},       {"lines", Action::LineMode},
        {"curve", Action::CurveMode},     {"curves", Action::CurveMode},
        {"hairpin", Action::HairpinMode}, {"hairpins", Action::HairpinMode},
        {"symbol", Action::SymbolMode},   {"symbols", Action::SymbolMode},
        {"shape", Action::ShapeMode},     {"shapes", Action::ShapeMode},
        {"lyric", Action::Lyric},         {"lyrics", Action::Lyric},
        {"block", Action::BlockMode},     {"preview", Action::Preview},
        {"headfoot", Action::HeadFoot}};
    const std::string l = Lower(name);
    for (const auto& [n, a] : kModeActions)
        if (l == n) return a;
    return std::nullopt;
}

class Runner {
  public:
    Runner(DocumentController& d, ScriptAnswers& answers, Score& score)
        : d_(d), answers_(answers), score_(score) {}

    // Empty when the line ran; else what went wrong.
    std::string line(const std::string& text, ScriptResult& result);

  private:
    std::string pointer(const std::vector<std::string>& w, const std::string& command);
    std::string runAction(Action a, ScriptResult& result);

    DocumentController& d_;
    ScriptAnswers& answers_;
    Score& score_;
};

std::string Runner::runAction(Action a, ScriptResult& result) {
    if (!d_.canRun(a)) return std::string("the action ") + ActionName(a) + " is not available now";
    if (a == Action::Close || a == Action::Exit) {
        if (d_.queryClose()) result.closed = true;
        return {};
    }
    if (a == Action::Print) {
        // A script has no printer of the system's: the PDF printer is its printer.
        d_.printToPdf();
        return {};
    }
    if (!d_.run(a))
        return std::string("the action ") + ActionName(a) + " needs the program's window";
    return {};
}

std::string Runner::pointer(const std::vector<std::string>& w, const std::string& command) {
    const std::size_t coords = command == "drag" ? 4 : 2;
    if (w.size() < coords) return command + " needs " + std::to_string(coords) + " numbers";
    std::vector<long> at;
    for (std::size_t i = 0; i < coords; ++i) {
        const std::optional<long> n = Number(w[i]);
        if (!n) return "\"" + w[i] + "\" is not a whole number";
        at.push_back(*n);
    }
    PointerEvent e;
    e.button = MouseButton::Left;
    for (std::size_t i = coords; i < w.size(); ++i) {
        const std::string m = Lower(w[i]);
        if (m == "shift")
            e.shift = true;
        else if (m == "ctrl")
            e.ctrl = true;
        else if (m == "alt")
            e.alt = true;
        else if (m == "right")
            e.button = MouseButton::Right;
        else if (m == "middle")
            e.button = MouseButton::Middle;
        else
            return "unknown modifier \"" + w[i] + "\"";
    }
    auto send = [&](PointerEvent::Kind kind, long x, long y) {
        PointerEvent ev = e;
        ev.kind = kind;
        ev.x = static_cast<int32_t>(x);
        ev.y = static_cast<int32_t>(y);
        if (kind == PointerEvent::Move) ev.button = MouseButton::None;
        d_.pointer(ev);
    };
    send(PointerEvent::Move, at[0], at[1]);
    // Resting over an object makes it the focus of the note commands.
    if (command == "hover") return {};
    send(PointerEvent::Press, at[0], at[1]);
    if (command == "drag") {
        send(PointerEvent::Move, at[2], at[3]);
        send(PointerEvent::Release, at[2], at[3]);
        return {};
    }
    send(PointerEvent::Release, at[0], at[1]);
    if (command == "dblclick") {
        send(PointerEvent::DoubleClick, at[0], at[1]);
        send(PointerEvent::Release, at[0], at[1]);
    }
    return {};
}

std::string Runner::line(const std::string& raw, ScriptResult& result) {
    const std::string text = Trim(raw);
    if (text.empty() || text[0] == '#') return {};
    const std::size_t space = text.find_first_of(" \t");
    const std::string command = Lower(text.substr(0, space));
    const std::string rest = space == std::string::npos ? std::string() : Trim(text.substr(space));
    const std::vector<std::string> w = Words(rest);
    if (command == "answer") {
        if (rest.empty()) return "answer needs the answer";
        answers_.queue.push_back(rest);
        return {};
    }
    if (command == "key") {
        if (w.size() != 1) return "key needs one key, such as Ctrl+Z";
        if (NormalizeKey(w[0]).empty()) return "\"" + w[0] + "\" is no key";
        // A key whose command is greyed out does nothing, as in the window.
        if (const std::optional<Action> a = d_.shortcut(w[0]))
            return d_.canRun(*a) ? runAction(*a, result) : std::string();
        d_.key(w[0]);
        return {};
    }
    if (command == "type") {
        // A capital letter is the letter typed with Shift; a character
        // beyond ASCII is typed as itself, as a keyboard of its own would.
        for (char32_t c : DecodeUtf8(rest)) {
            if (c >= 0x80) {
                d_.typeCharacter(c);
                continue;
            }
            const char b = static_cast<char>(c);
            d_.key(b == ' '               ? std::string("Space")
                   : b >= 'A' && b <= 'Z' ? "Shift+" + std::string(1, b)
                                          : std::string(1, b));
        }
        return {};
    }
    if (command == "click" || command == "dblclick" || command == "drag" || command == "hover")
        return pointer(w, command);
    if (command == "action") {
        if (w.size() != 1) return "action needs one action name, such as acUndo";
        if (w[0] == kImportMusicXmlName) {
            // The main window's command: the script's window holds the import.
            bool failed = false;
            d_.closeAndImport(failed);
            if (failed) {
                result.closed = true;
                return "the MusicXML file was not imported";
            }
            return {};
        }
        const std::optional<Action> a = ActionByName(w[0]);
        if (!a) return "there is no action \"" + w[0] + "\"";
        return runAction(*a, result);
    }
    if (command == "stave" || command == "page") {
        const std::optional<long> n = w.size() == 1 ? Number(w[0]) : std::nullopt;
        if (!n) return command + " needs a number";
        if (command == "stave") {
            if (*n < 1 || *n > score_.Nstaves) return "there is no stave " + w[0];
            // As a click on it would: its page is shown and it becomes current.
            d_.showPage(std::max<int>(1, score_.stave(static_cast<int>(*n)).h.PageNum));
            d_.setCurrentStave(static_cast<int>(*n));
            return {};
        }
        if (*n < 1 || *n > std::max<int>(score_.pageCount, 1)) return "there is no page " + w[0];
        d_.showPage(static_cast<int>(*n));
        return d_.page() == *n ? std::string() : "page " + w[0] + " cannot be shown in this mode";
    }
    if (command == "mode") {
        const std::optional<Action> a = w.size() == 1 ? ModeAction(w[0]) : std::nullopt;
        if (!a)
            return "mode needs Music, Text, Lyric, Line, Curve, Hairpin, Symbol, Shape, Block, "
                   "Preview or HeadFoot";
        return runAction(*a, result);
    }
    if (command == "save") {
        if (rest.empty()) {
            d_.save();
            return {};
        }
        // Save As, its file dialog answered with the path.
        answers_.queue.push_front(rest);
        if (!d_.saveAs()) return "the score was not saved as " + rest;
        return {};
    }
    return "unknown command \"" + command + "\"";
}

}  // namespace

ScriptResult RunScript(const std::vector<std::string>& lines, DocumentController& controller,
                       ScriptAnswers& answers, Score& score) {
    ScriptResult result;
    Runner runner(controller, answers, score);
    for (std::size_t i = 0; i < lines.size() && !result.closed; ++i) {
        std::string error = runner.line(lines[i], result);
        if (error.empty() && !answers.failures.empty()) error = answers.failures.front();
        if (!error.empty()) {
            result.ok = false;
            result.line = static_cast<int>(i + 1);
            result.error = error;
            return result;
        }
    }
    if (!answers.queue.empty()) {
        result.ok = false;
        result.line = static_cast<int>(lines.size());
        result.error = "the answer \"" + answers.queue.front() + "\" was never asked for";
    }
    return result;
}

}  // namespace sw
