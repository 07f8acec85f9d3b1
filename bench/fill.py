#!/usr/bin/env python3
"""Fills the benchmark servers with office-sized tables, once.

  fill.py ROOT            fill ROOT/1e3, ROOT/1e5 and ROOT/full as needed

Each table is one stage: a TSV written next to the server and loaded with
LOAD DATA; a marker file records a finished stage, so an interrupted fill
goes on where it stopped. The full set starts as a copy of the 1e5 folder
(their consultants, projects and clients are the same) and appends the rest.
Rows depend only on their number, so appended rows match a fresh fill.
"""

import os
import random
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DBSERVER = os.path.join(HERE, "..", "scripts", "dbserver.sh")

DATA = "`torvakdb_TORVAKdata`"
REPORTS = "`torvakdb_TORVAKraporten`"
DECLS = "`torvakdb_TORVAKdeclaraties`"

# rows per table at each scale; the messages table keeps every message the
# office ever posted, the current one first
SCALES = {
    "1e3": dict(consultants=1000, projects=1000, clients=1000, reports=1000,
                declarations=1000, logins=1000, messages=1000),
    "1e5": dict(consultants=10000, projects=100000, clients=100000, reports=100000,
                declarations=100000, logins=100000, messages=100000),
    "full": dict(consultants=10000, projects=100000, clients=100000, reports=300000,
                 declarations=1000000, logins=1000000, messages=100000),
}
PROJECTS_PER_CONSULTANT = 10

FIRST = ["Anna", "Bram", "Carla", "Daan", "Eva", "Floor", "Gerrit", "Hanna", "Ivo", "Joost",
         "Karin", "Lars", "Marieke", "Niels", "Olga", "Pieter", "Ria", "Sander", "Tineke", "Wim"]
INFIX = ["", "", "", "de", "van", "van der", "van den", "ter", "", "de"]
LAST = ["Vries", "Jansen", "Bakker", "Visser", "Smit", "Meijer", "Mulder", "Bos", "Vos", "Peters",
        "Hendriks", "Dekker", "Brouwer", "Wit", "Dijkstra", "Smits", "Graaf", "Kok", "Berg", "Hoek"]
TITLE = ["Ir.", "Ing.", "Drs.", "Dr.", "", "Mr."]
SYLL = ["ka", "lo", "mi", "ne", "ru", "ta", "vo", "zi", "be", "do"]
PLACES = ["Noord", "Zuid", "Oost", "West", "Centrum", "Haven", "Polder", "Dijk", "Markt", "Kade"]
WORKS = ["Glasvezel", "Havenkade", "Dijkversterking", "Rioolrenovatie", "Brugonderhoud",
         "Wegreconstructie", "Sluiscomplex", "Waterzuivering", "Fietspad", "Stationsplein"]
ACTIVITY = ["Overleg met opdrachtgever over planning", "Inspectie op locatie",
            "Uitwerken technisch ontwerp", "Opstellen voortgangsrapportage",
            "Bestekcontrole en toezicht", "Begeleiding aannemer op de bouwplaats",
            "Kostenraming bijwerken", "Werkoverleg en notulen"]
CONTACT = ["dhr. Jansen", "mevr. De Boer", "dhr. Van Dam", "mevr. Kramer", "projectteam",
           "dhr. Willems", "mevr. Postma", "aannemer"]
COMPANY = ["Bouwbedrijf", "Gemeente", "Waterschap", "Ingenieursbureau", "Provincie", "Havenbedrijf"]
MONTH_LABEL = ["Januari  ", "Februari ", "Maart    ", "April    ", "Mei      ", "Juni     ",
               "Juli     ", "Augustus ", "September", "Oktober  ", "November ", "December "]
MONTH_ENTRY = ["Januari", "Februari", "Maart", "April", "Mei", "Juni", "Juli", "Augustus",
               "September", "Oktober", "November", "December"]
MONTH_LOWER = [m.lower() for m in MONTH_ENTRY]
WEEKDAY = ["Ma ", "Di ", "Wo ", "Do ", "Vr ", "Za ", "Zo "]  # datetime.weekday() order


def h(i, salt, n):
    """A fixed pseudo-random pick in 0..n-1 for row i."""
    x = (i * 2654435761 + salt * 97531 + 12345) & 0xFFFFFFFF
    x ^= x >> 15
    x = (x * 2246822519) & 0xFFFFFFFF
    x ^= x >> 13
    return x % n


def esc(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


# --- the rows ---------------------------------------------------------------

def consultant(i):
    first, infix, last = FIRST[h(i, 1, 20)], INFIX[h(i, 2, 10)], LAST[h(i, 3, 20)]
    title = TITLE[h(i, 4, 6)]
    login = first.lower()[:5] + "%04d" % i
    password = SYLL[h(i, 5, 10)] + SYLL[h(i, 6, 10)] + SYLL[h(i, 7, 10)] + str(h(i, 8, 90) + 10)
    return dict(login=login, password=password, nummer="%04d" % i, title=title, first=first,
                infix=infix, last=last, name=title + first + " " + infix + " " + last)


def consultant_row(i):
    c = consultant(i)
    day = 1 + h(i, 9, 28)
    return [c["login"], c["password"], c["nummer"], c["title"], c["first"], c["infix"], c["last"],
            "%02d-%02d-2009  08:%02d:%02d" % (3, day, h(i, 10, 60), h(i, 11, 60)), "OFFLINE",
            "%02d-%02d-2009  17:%02d:%02d" % (3, day, h(i, 12, 60), h(i, 13, 60))]


def client_number(c):
    return str(10001 + c)


def client_name(c):
    return "%s %s %s" % (COMPANY[h(c, 20, 6)], PLACES[h(c, 21, 10)], LAST[h(c, 22, 20)])


def client_row(c):
    return [client_number(c), client_name(c)]


def project(p, n):
    """Project p belongs to consultant p // 10; its client is spread over n clients."""
    cons = p // PROJECTS_PER_CONSULTANT
    code = "%04d-P%02d" % (cons, p % PROJECTS_PER_CONSULTANT)
    start = 2004 * 12 + h(p, 30, 48)  # months since year 0
    client = h(p, 31, n["clients"])
    rate_in = 55 + 5 * h(p, 32, 8)
    return dict(cons=cons, code=code, nummer=str(p + 1), start=start, client=client,
                name="%s %s" % (WORKS[h(p, 33, 10)], PLACES[h(p, 34, 10)]),
                descr="Advies en toezicht %s %s" % (WORKS[h(p, 33, 10)].lower(), PLACES[h(p, 34, 10)]),
                rate_in=rate_in, rate_out=rate_in + 25 + 5 * h(p, 35, 6))


def ymd(months, day):
    return "%04d/%02d/%02d" % (months // 12, months % 12 + 1, day)


def project_row(p, n):
    pr = project(p, n)
    end = pr["start"] + 24 + h(p, 36, 48)
    remark = "GEEN" if h(p, 37, 4) else "Urenbudget bijna op: overleg met kantoor."
    return [pr["code"], pr["nummer"], pr["name"], pr["descr"], client_number(pr["client"]),
            ymd(pr["start"], 1), ymd(end, 28), str(40 + 10 * h(p, 38, 20)),
            "%d.00" % pr["rate_out"], "%d.00" % pr["rate_in"], remark]


def report_month(r, n):
    """Report r is month r // projects of project r % projects, from its start."""
    p = r % n["projects"]
    pr = project(p, n)
    m = pr["start"] + r // n["projects"]
    return p, pr, m // 12, m % 12 + 1


_LABELS = {}


def day_labels(year, month):
    import datetime
    key = (year, month)
    if key not in _LABELS:
        out = []
        d = datetime.date(year, month, 1)
        while d.month == month:
            out.append((WEEKDAY[d.weekday()] + " %02d " % d.day + MONTH_LABEL[month - 1] + " %04d" % year,
                        d.weekday() >= 5))
            d += datetime.timedelta(days=1)
        _LABELS[key] = out
    return _LABELS[key]


def report_row(r, n):
    p, pr, year, month = report_month(r, n)
    key = "%04d_%02d_%s" % (year, month, pr["code"])
    done = "ja" if h(r, 40, 10) < 6 else "nee"
    mpart = " " + MONTH_ENTRY[month - 1] + " "
    stamp = "%02d-%s-%04d  %02d:%02d:%02d" % (1 + h(r, 41, 28), MONTH_LOWER[month - 1], year,
                                              8 + h(r, 42, 10), h(r, 43, 60), h(r, 44, 60))
    out = [key, done, "Projectnaam      :   " + pr["name"] + "   " + mpart + " " + str(year),
           "Opdrachtgever :   " + client_name(pr["client"]),
           "Omschrijving     :   " + pr["descr"], "Aangemaakt       : " + stamp,
           "Laatst gewijzigd : " + stamp]
    labels = day_labels(year, month)
    for s in range(31):
        if s >= len(labels):
            out += ["", "", "", "", ""]
        elif labels[s][1]:
            out += [labels[s][0], "", "", "", ""]
        else:
            k = h(r * 31 + s, 45, 64)
            out += [labels[s][0], ACTIVITY[k % 8], CONTACT[k // 8], str(4 + k % 5), str(k % 3 * 21)]
    out += ["Parkeerkosten en openbaar vervoer", str(5 + h(r, 46, 40)), "%02d" % (5 * h(r, 47, 20))]
    return out


def money(cents):
    euros, c = divmod(cents, 100)
    digits = str(euros)
    groups = []
    while len(digits) > 3:
        groups.insert(0, digits[-3:])
        digits = digits[:-3]
    groups.insert(0, digits)
    return ".".join(groups) + ",%02d" % c


def declaration_row(d, n):
    p = h(d, 50, n["projects"])
    pr = project(p, n)
    c = consultant(pr["cons"])
    k = d // n["projects"] % 120
    # Most are of the years before the project's start; a quarter are of the
    # months of its run just after its reports, so that a year holds both
    # and the report months' invoice numbers stay free to declare.
    m = pr["start"] + 3 + k if h(d, 59, 4) == 0 else pr["start"] - 60 + k
    year, month = m // 12, m % 12 + 1
    hours = 60 + h(d, 51, 120)
    km = 21 * h(d, 52, 20)
    exp = 500 * h(d, 53, 30)
    amount_in, amount_out = hours * pr["rate_in"] * 100, hours * pr["rate_out"] * 100
    km_cost = km * 35
    sub_in, sub_out = amount_in + km_cost + exp, amount_out + km_cost + exp
    vat_in, vat_out = sub_in // 5, sub_out // 5
    invoice = "%02d%02d%s%s%s" % (year % 100, month, c["nummer"], client_number(pr["client"]),
                                  ("0000" + pr["nummer"])[-4:])
    stamp = "%02d-%s-%04d  %02d:%02d:%02d" % (1 + h(d, 54, 28), MONTH_LOWER[month - 1], year,
                                              9 + h(d, 55, 8), h(d, 56, 60), h(d, 57, 60))
    paid = "ja" if h(d, 58, 10) < 8 else "nee"
    return [invoice, c["nummer"], c["name"], client_number(pr["client"]), client_name(pr["client"]),
            str(year), "%02d" % month, stamp, pr["name"], str(hours), "%d.00" % pr["rate_in"],
            "%d.00" % pr["rate_out"], money(amount_in), str(km), "0,35", money(km_cost), money(exp),
            "Parkeerkosten" if exp else "GEEN", money(sub_in), money(vat_in), money(sub_in + vat_in),
            "GEEN\r\n", money(amount_out), money(sub_out), money(vat_out), money(sub_out + vat_out),
            paid, paid]


def login_row(i, n):
    cons = h(i, 60, n["consultants"])
    c = consultant(cons)
    m = 2005 * 12 + i * 48 // max(n["logins"], 1)
    return ["%04d/%02d/%02d   %02d:%02d:%02d" % (m // 12, m % 12 + 1, 1 + h(i, 61, 28), 7 + h(i, 62, 4),
                                                 h(i, 63, 60), h(i, 64, 60)),
            c["first"].lower() + c["last"].lower()[:4], c["name"],
            "Intel(R) PRO/1000 MT Network Connection", "00:1A:4B:%02X:%02X:%02X" % (
                h(cons, 65, 256), h(cons, 66, 256), h(cons, 67, 256)),
            "ASUSTeK Computer INC.", "P5K-VM", "HP LaserJet 1020" if h(cons, 68, 3) else ""]


def message_row(i):
    if i == 0:
        return ["OPMERKING: Declaraties over de vorige maand graag voor de 10e indienen."]
    return ["Bericht %d van kantoor: denk aan het bijwerken van uw urenstaat." % i]


REPORT_COLS = ["Projectnaam", "afgewerkt", "bestandsnaam", "Opdrachtgever", "omschrijving",
               "aangemaakt", "laatstgewijzigd"]
for _s in range(1, 32):
    REPORT_COLS += ["%s%02d" % (p, _s) for p in ("datum", "Activiteit", "Contact", "Uren", "Kilometers")]
REPORT_COLS += ["onkosten", "euro", "cent"]

# A stage whose rows changed gets a new revision: a folder filled by an
# older one fills that table again.
REVISION = {"declarations": 2}


def marker(folder, stage):
    rev = REVISION.get(stage, 1)
    return os.path.join(folder, "stage-%s.done" % stage if rev == 1 else "stage-%s-r%d.done" % (stage, rev))


def stale_markers(folder, stage):
    rev = REVISION.get(stage, 1)
    older = [os.path.join(folder, "stage-%s.done" % stage)]
    older += [os.path.join(folder, "stage-%s-r%d.done" % (stage, r)) for r in range(2, rev)]
    return [m for m in older if rev > 1 and os.path.exists(m)]


# stage name, table, columns, row function, row count key
TABLES = [
    ("consultants", DATA + ".`KALMIRO_consultants`",
     ["LOGIN", "PASWOORD", "consultantnummer", "Titel1", "voornaam", "tussenvoegsel", "naam",
      "isAANGEMELD", "isONLINE", "isAFGEMELD"], lambda i, n: consultant_row(i)),
    ("clients", DATA + ".`KALMIRO_opdrachtgevers`", ["opdrachtgevernummer", "Bedrijf"],
     lambda i, n: client_row(i)),
    ("projects", DATA + ".`KALMIRO_projecten`",
     ["Projectcode", "nummer", "Projectnaam", "ProjectOmschrijving", "opdrachtgevernummer",
      "TijdsplanningDATUMvan", "TijdsplanningDATUMtm", "ProjectduurPer8uur",
      "VerkoopDagtariefConsultant", "InkoopDagtariefOpdrachtgever", "CommentaarCONSULTANT"],
     project_row),
    ("messages", DATA + ".`KALMIRO_berichten`", ["Bericht"], lambda i, n: message_row(i)),
    ("logins", DATA + ".`LOGINconsultant`",
     ["DATUMTIJD", "PCnaam", "LOGINnaam", "NETWERKkaart", "NETWERKadres", "MBmerk", "MBtype",
      "Afdrukapparaat"], login_row),
    ("declarations", DECLS + ".`Declaraties`",
     ["factuurnummer", "consultant", "Consultantnaam", "Opdrachtgever", "Opdrachtgevernaam", "Jaar",
      "maand", "DECdatum", "Projectnaam", "uren", "peruurIN", "peruurUIT", "urentotaal",
      "kilometers", "perKM", "totaalkostenKM", "onkosten", "kostenomschrijving", "subtotaal", "BTW",
      "totaal", "opmerking", "urentotaaluit", "subtotaaluit", "BTWuit", "totaaluit",
      "IsbetaaldConsultant", "IsbetaaldOpdrachtgever"], declaration_row),
    ("reports", REPORTS + ".`Raporten`", REPORT_COLS, report_row),
]


# --- the server ---------------------------------------------------------------

def server(cmd, folder, sql=None):
    env = dict(os.environ)
    env.setdefault("DL_DB_BUFFER_POOL", "1G")
    res = subprocess.run([DBSERVER, cmd, folder], input=sql, text=True, capture_output=True, env=env)
    if res.returncode != 0:
        sys.exit("dbserver.sh %s %s failed:\n%s%s" % (cmd, folder, res.stdout, res.stderr))
    return res.stdout


def count(folder, table):
    out = server("sql", folder, "SELECT COUNT(*), COALESCE(MAX(id), 0) FROM %s;" % table)
    n, top = out.split("\n")[1].split("\t")
    return int(n), int(top)


def rows_for(scale, stage):
    return SCALES[scale][stage]


def order(stage, n):
    """The order in which rows reach the table. Projects are entered over the
    years, so one consultant's projects lie spread over the table."""
    total = n[stage]
    if stage != "projects":
        return range(total)
    ids = list(range(total))
    random.Random(7).shuffle(ids)
    return ids


def fill_stage(folder, stage, table, cols, rowfn, n, first):
    done = marker(folder, stage)
    if os.path.exists(done):
        return
    stale = stale_markers(folder, stage)
    if stale:
        # rows of an older revision, copied ones included: all of them go
        server("sql", folder, "TRUNCATE TABLE %s;" % table)
        for m in stale:
            os.remove(m)
    rows = order(stage, n)
    t0 = time.time()
    # a stopped load leaves nothing behind (LOAD DATA is one statement), but
    # rows past `first` are dropped all the same before loading again
    server("sql", folder, "DELETE FROM %s WHERE id > %d;" % (table, first[stage]) if first[stage]
           else "TRUNCATE TABLE %s;" % table)
    have, _ = count(folder, table)
    tsv = os.path.join(folder, "%s.tsv" % stage)
    with open(tsv, "w", encoding="utf-8", newline="\n") as f:
        buf = []
        for k, i in enumerate(rows):
            if k < have:
                continue
            buf.append("\t".join(esc(v) for v in rowfn(i, n)))
            if len(buf) >= 5000:
                f.write("\n".join(buf) + "\n")
                buf = []
        if buf:
            f.write("\n".join(buf) + "\n")
    t1 = time.time()
    server("sql", folder,
           "SET SESSION unique_checks=0; SET SESSION foreign_key_checks=0;\n"
           "LOAD DATA INFILE '%s' INTO TABLE %s CHARACTER SET utf8mb4 FIELDS TERMINATED BY '\\t' "
           "ESCAPED BY '\\\\' LINES TERMINATED BY '\\n' (%s);\n"
           % (tsv, table, ", ".join("`%s`" % c for c in cols)))
    os.remove(tsv)
    got, _ = count(folder, table)
    want = n[stage]
    if got != want:
        sys.exit("%s: %d rows loaded, %d expected" % (table, got, want))
    open(done, "w").close()
    print("  %-13s %8d rows  (generated %.0f s, loaded %.0f s)" % (stage, got, t1 - t0, time.time() - t1),
          flush=True)


def fill_scale(root, scale, base=None):
    folder = os.path.join(root, scale)
    complete = os.path.join(folder, "complete")
    if os.path.exists(complete) and all(os.path.exists(marker(folder, st)) for st, *_ in TABLES):
        return
    print("filling %s" % folder, flush=True)
    first = {stage: 0 for stage, *_ in TABLES}
    if base:
        # the full set starts from the finished 1e5 folder; tables of the
        # same size are done, the others get their further rows appended
        same = [st for st, *_ in TABLES if rows_for(scale, st) == rows_for(base, st)]
        for stage, *_ in TABLES:
            if stage not in same:
                first[stage] = rows_for(base, stage)
        copied = os.path.join(folder, "copied")
        if not os.path.exists(copied):
            src = os.path.join(root, base)
            server("stop", src)
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
            shutil.copytree(os.path.join(src, "data"), os.path.join(folder, "data"))
            for stage in same:
                open(marker(folder, stage), "w").close()
            open(copied, "w").close()
    server("start", folder)
    # a larger redo log while loading; back to the default at the next start
    server("sql", folder, "SET GLOBAL innodb_log_file_size = 1073741824;")
    for stage, table, cols, rowfn in TABLES:
        fill_stage(folder, stage, table, cols, rowfn, SCALES[scale], first)
    server("sql", folder, "ANALYZE TABLE %s.`KALMIRO_consultants`, %s.`KALMIRO_projecten`, "
                          "%s.`KALMIRO_opdrachtgevers`, %s.`LOGINconsultant`, %s.`Raporten`, "
                          "%s.`Declaraties`;" % (DATA, DATA, DATA, DATA, REPORTS, DECLS))
    open(complete, "w").close()


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "bench-data"))
    os.makedirs(root, exist_ok=True)
    wanted = sys.argv[2:] or ["1e3", "1e5", "full"]
    fill_scale(root, "1e3")
    if "1e5" in wanted or "full" in wanted:
        fill_scale(root, "1e5")
    if "full" in wanted:
        fill_scale(root, "full", base="1e5")


if __name__ == "__main__":
    main()
