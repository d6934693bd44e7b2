#include "worksheets/WorksheetMenus.h"

#include "platform/ui/Window.h"

namespace {
// A menu item with its key text, status-line text and icon, each left out when empty.
ControlDesc Item(int id, const char* text, const char* key = "", const char* tip = "", const char* icon = "")
{
    ControlDesc c = Ctl::Item(text).Id(id);
    if (*key) c.KeyText(key);
    if (*tip) c.Msg(tip);
    if (*icon) c.Icon(icon);
    return c;
}

// A menu numbered one below its first entry.
ControlDesc Menu(const char* text, int firstEntry)
{
    return Ctl::Menu(text).Id(firstEntry - 1);
}

// The toolbar's buttons from left to right, each 16 wide plus the gap that follows it.
class ButtonRow {
public:
    explicit ButtonRow(ControlDesc& bar) : BAR(bar) {}
    ControlDesc& Add(int id, const char* icon, const char* tip, int gap = 0)
    {
        BAR.Add(Ctl::Button("").Id(id).Icon(icon).Tip(tip).At(X, 2, 14, 12));
        X += 16 + gap;
        return BAR.children.back();
    }

private:
    ControlDesc& BAR;
    int X = 2;
};
} // namespace

ControlDesc WorksheetMenubar(const WorksheetBar& c)
{
    const bool flex = c.flex;
    // What the flex window says in place of the kind-1 worksheet's text.
    auto pick = [flex](const char* sheet, const char* flexText) { return flex ? flexText : sheet; };
    ControlDesc bar = Ctl::Menubar().Id(99);

    ControlDesc exports = Menu("&Exportieren", flex ? c.exportFlex : c.exportSchichttypen);
    ControlDesc imports = Menu("&Importieren", flex ? c.importFlex : c.importSchichttypen);
    if (flex) {
        exports.Add(Item(c.exportFlex, "&Flex. Arbeitszeiten", "", "Flex-Arbeitszeiten als CSV-Datei exportieren"));
        imports.Add(Item(c.importFlex, "&Flex. Arbeitszeiten", "", "Flex-Arbeitszeiten aus einer CSV-Datei importieren"));
    } else {
        exports.Add(Item(c.exportSchichttypen, "&Schichttypen")).Add(Item(c.exportAzp, "&Arbeitszeitplan"));
        imports.Add(Item(c.importSchichttypen, "&Schichttypen")).Add(Item(c.importAzp, "&Arbeitszeitplan"));
    }
    bar.Add(Menu("&Datei", exports.id).Add(exports).Add(imports));

    ControlDesc edit = Menu("&Bearbeiten", c.undo.item);
    edit.Add(Item(c.undo.item, "&Rückgängig", "Strg+Z", "Bearbeitungsschritt rückgängig machen", "undo.ico"))
        .Add(Item(c.redo.item, "&Wiederholen", "Strg+Y", "Bearbeitungsschritt wiederholen", "redo.ico"))
        .Add(Item(c.cut.item, "&Ausschneiden", "Strg-X", "Objekt in die Zwischenablage verschieben"))
        .Add(Item(c.copy.item, "&Kopieren", "Strg-C", "Objekt in die Zwischenablage kopieren"))
        .Add(Item(c.paste.item, "&Einfügen", "Strg-V", "Inhalt der Zwischenablage einfügen"))
        .Add(Item(c.insert.item, "&Neuer Eintrag", "Einfg", pick("", "neuen Arbeitszeiteintrag anlegen"), "new.ico"));
    if (c.change.item)
        edit.Add(Item(c.change.item, "&Ändern", "Enter", "gewählten Arbeitszeiteintrag ändern", "edit.ico"));
    edit.Add(Item(c.remove.item, "&Entfernen", "Entf", "Objekt entfernen", "delete.ico"))
        .Add(Item(c.swap.item, "Ver&schieben", "Strg+M", pick("Verschiebemodus für Tabellenzellen", ""), "swap.ico").Disabled(flex));
    bar.Add(edit);

    ControlDesc sheet = Menu("Arbeits&zeitblatt", c.print.item);
    sheet.Add(Item(c.print.item, "&Drucken", "Alt+P", "Arbeitszeitplan drucken"))
        .Add(Item(c.schichttypen.item, "&Schichttypen", "Alt+S", pick("Liste der Schichttypen bearbeiten", ""), "mini_schichten.ico").Disabled(flex))
        .Add(Item(c.belastung.item, "B&elastung", "Alt+E", "Belastungseinschätzung nach dem EBA Verfahren vornehmen", "mini_belastung.ico"))
        .Add(Item(c.oeko.item, "&Ökonomie", "Alt+Ö", "Ökonomie-Einstellungen (Kosten) bearbeiten", "mini_oeko.ico"))
        .Add(Item(c.notizen.item, "&Notizen", "Alt+N", "Notizen zum Arbeitszeitblatt", "mini_notiz.ico"))
        .Add(Item(c.defpool.item, "&Definitionspool", "Alt+D", "Definitionspool für dieses Arbeitszeitblatt", "mini_defpool.ico"))
        .Add(Item(c.bezugsrahmen.item, "&Bezugsrahmen", pick("Strg+L", ""), pick("Bezugsrahmen (Anzahl Wochen) verändern", ""), "bezugsrahmen.ico").Disabled(flex));
    if (flex)
        sheet.Add(Item(c.darstellung.item, "&Darstellungszeitraum", "", "Darstellungszeitraum des Flex-Arbeitszeitplanes verändern", "mini_kalender.ico"));
    else
        sheet.Add(Item(c.darstellung.item, "&Schichtgruppen", "Strg+G", "Anzahl Schichtgruppen des AZP verändern", "schichtgruppen.ico"));
    bar.Add(sheet);

    ControlDesc plan = Menu("&Arbeitszeitplan", flex ? c.guetewert : c.azpSchuetzen);
    if (!flex) {
        bar.Add(Menu("&Arbeitskräftebedarf", c.akbErrechnen)
                    .Add(Item(c.akbErrechnen, "&errechnen", "", "Arbeitskräftebedarf aus Schichtbedarf errechnen")));
        bar.Add(Menu("&Schichtbedarf", c.sbpErrechnen)
                    .Add(Item(c.sbpErrechnen, "&Errechnen", "", "Schichtbedarf aus Arbeitszeitplan errechnen"))
                    .Add(Item(c.sbpGenerieren, "&Generieren", "", "Schichtbedarf aus Arbeitskräftebedarf generieren")));
        plan.Add(Item(c.azpSchuetzen, "&Schützen", "", "Arbeitszeitplan vor konsistenzverletzenden Veränderungen schützen").Disabled())
            .Add(Item(c.azpGenerieren, "&Generieren", "", "Arbeitszeitplan aus Schichtbedarfsplan generieren"))
            .Add(Item(c.azpOptimieren, "&Optimieren"));
    }
    plan.Add(Item(c.guetewert, "Gütewert &berechnen"))
        .Add(Item(c.gesamtbewertung.item, "&Gesamtbewertung anzeigen", "", pick("", "Gesamtbewertung des Arbeitszeitplans anzeigen"),
                  pick("mini_info.ico", "")));
    bar.Add(plan);

    // The inspectors' items: the flex window has no table inspector and shows no texts for them.
    auto inspector = [flex](int id, const char* text, const char* tip, const char* icon) {
        ControlDesc item = Ctl::CheckItem(text).Id(id);
        if (!flex)
            item.Msg(tip).Icon(icon);
        return item;
    };
    ControlDesc view = Menu("&Ansicht", c.bewertungInsp);
    view.Add(inspector(c.bewertungInsp, "Bewertungs-&Inspektor", "Bewertungs-Inspektor an/ausschalten", "BewertungsInsp.ico"))
        .Add(inspector(c.tabellenInsp, "Tabellen-&Inspektor", "Tabellen-Inspektor an/ausschalten", "TabellenInsp.ico").Disabled(flex))
        .Add(inspector(c.oekoInsp, "Ökonomie-&Inspektor", "Ökonomie-Inspektor an/ausschalten", "OekoInsp.ico"));
    if (!flex)
        view.Add(Ctl::CheckItem("SBP+AZP zusammen scrollen").Id(c.sync).Msg("Tabellen gleichzeitig nach links/rechts scrollen").Checked());
    ControlDesc zoom = Menu("&Zoom", c.zoom50);
    const char* zoomText[5] = {"50 %", "75 %", "100 %", "125%", "150%"};
    for (int i = 0; i < 5; ++i)
        zoom.Add(Ctl::RadioItem(zoomText[i]).Id(c.zoom50 + i).Checked(i == 2));
    view.Add(zoom).Add(Menu("&Darstellung", c.normal)
                           .Add(Ctl::RadioItem("&normal").Id(c.normal).Checked())
                           .Add(Ctl::RadioItem("&kompakt").Id(c.kompakt)));
    bar.Add(view);
    return bar;
}

ControlDesc WorksheetToolbar(const WorksheetBar& c)
{
    const bool flex = c.flex;
    auto pick = [flex](const char* sheet, const char* flexText) { return flex ? flexText : sheet; };
    ControlDesc bar = Ctl::Toolbar().Id(100).At(0, 0, 520, kWorksheetToolbarHeight);
    ButtonRow row(bar);
    row.Add(c.print.button, "drucken.ico", "Arbeitszeitplan drucken [Alt+P]", 4);
    if (c.schichttypen.button)
        row.Add(c.schichttypen.button, "mini_schichten.ico", "Schichttypen bearbeiten [Alt+S]");
    row.Add(c.belastung.button, "mini_belastung.ico", pick("Belastungseinschätzung nach EBA vornehmen [Alt+E]", "Belastungseinschätzung [Alt+E]"));
    row.Add(c.oeko.button, "mini_oeko.ico", pick("Ökonomie-Einstellungen (Kosten) bearbeiten [Alt+Ö]", "Ökonomie-Einstellungen [Alt+Ö]"));
    row.Add(c.notizen.button, "mini_notiz.ico", pick("Notizen bearbeiten [Alt+N]", "Notizen [Alt+N]"));
    row.Add(c.defpool.button, "mini_defpool.ico", pick("Definitionspool öffnen [Alt+D]", "Definitionspool [Alt+D]"), flex ? 0 : 4);
    if (flex) {
        row.Add(c.darstellung.button, "mini_kalender.ico", "Darstellungszeitraum des Flex-Arbeitszeitplanes verändern", 4);
    } else {
        row.Add(c.bezugsrahmen.button, "bezugsrahmen.ico", "Bezugsrahmen (Anzahl Wochen) des Arbeitszeitblattes verändern  [Strg+L]");
        row.Add(c.darstellung.button, "schichtgruppen.ico", "Anzahl Schichtgruppen des Arbeitszeitplanes (AZP) verändern  [Strg+G]", 4);
    }
    row.Add(c.cut.button, "ausschneiden.ico", "Auswahl ausschneiden [Strg-X]");
    row.Add(c.copy.button, "kopieren.ico", "Auswahl in die Zwischenablage kopieren [Strg+C]");
    row.Add(c.paste.button, "einfuegen.ico", "Inhalt der Zwischenablage einfügen [Strg+V]");
    row.Add(c.undo.button, "undo.ico", "letzten Bearbeitungsschritt rückgängig machen [Strg+Z]");
    row.Add(c.redo.button, "redo.ico", "zuletzt rückgängig gemachten Bearbeitungsschritt wiederholen [Strg+Y]");
    row.Add(c.insert.button, "new.ico", pick("neuen Arbeitskräftebedarf eintragen [Einfg]", "neuen Arbeitszeiteintrag anlegen [Einfg]"));
    if (c.change.button)
        row.Add(c.change.button, "edit.ico", "gewählten Arbeitszeiteintrag ändern [Enter]");
    row.Add(c.remove.button, "delete.ico", pick("Tabellenzelle löschen [Entf]", "Arbeitszeiteintrag löschen [Entf]"), 4);
    if (!flex) {
        row.Add(c.swap.button, "swap.ico", "Verschiebemodus für Tabellenzellen an/aus [Strg+M]");
        row.Add(c.generate, "generieren.ico", "Plan generieren [Alt+G]", 4).KeyText("Alt+G");
    }
    row.Add(c.inspektor, pick("BewertungsInsp.ico", "bewertungsinsp.ico"), "zwischen Inspektoren umschalten");
    row.Add(c.gesamtbewertung.button, pick("mini_info.ico", "mini_bewertung.ico"), pick("Gesamtbewertung AZP anzeigen", "Gesamtbewertung anzeigen"));
    return bar;
}

void FollowToolbarTwins(const WorksheetBar& c)
{
    for (const SheetTwin& t : {c.undo, c.redo, c.cut, c.copy, c.paste, c.insert, c.change, c.remove, c.swap})
        if (t.item && t.button)
            ControlSetEnabled(t.item, !PropertyGet(t.button, Prop::Disable).Bool());
}
