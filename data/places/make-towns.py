#!/usr/bin/env python3
"""Writes towns.tsv and countries.tsv beside this script.

Towns come from Debian's libgeonames0 (the GeoNames towns of 15,000 people or
more, compiled into the library, with their names in many languages in
libgeonames-common's catalogues); countries and their Russian names from
Debian's iso-codes. Run once, by hand, after installing them:

    apt-get install libgeonames0 libgeonames-common iso-codes locales
    data/places/make-towns.py

The program reads the two small text files instead of linking the library:
the library is under the GPL, names a town only in the process's locale
(switching locales in a running program is not safe), and its English names
lack the letters' marks ("Reykjavik"). See README.md.
"""

import ctypes
import gettext
import json
import locale
import os
import subprocess
import sys
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
LIBRARY = "libgeonames.so.0"
ISO_JSON = "/usr/share/iso-codes/json/iso_3166-1.json"
ISO2_JSON = "/usr/share/iso-codes/json/iso_3166-2.json"
LOCALE_DIR = "/usr/share/locale"
SUPPORTED = "/usr/share/i18n/SUPPORTED"
# Any installed locale other than C: gettext only honours LANGUAGE then.
CARRIER_LOCALE = "ru_RU.UTF-8"

# Kosovo has no ISO 3166-1 code; GeoNames and the borders use the
# user-assigned XK.
EXTRA_COUNTRIES = [("XK", "Kosovo", "Косово")]


def dump():
    """One line per town as the library gives it in the locale of the environment."""
    locale.setlocale(locale.LC_ALL, "")
    lib = ctypes.CDLL(LIBRARY)
    text = ctypes.c_char_p
    city = ctypes.c_void_p
    for name in ("name", "state", "country_code", "timezone"):
        f = getattr(lib, "geonames_city_get_" + name)
        f.restype, f.argtypes = text, [city]
    for name in ("latitude", "longitude"):
        f = getattr(lib, "geonames_city_get_" + name)
        f.restype, f.argtypes = ctypes.c_double, [city]
    lib.geonames_get_city.restype, lib.geonames_get_city.argtypes = city, [ctypes.c_int]
    lib.geonames_city_free.argtypes = [city]
    out = sys.stdout
    for i in range(lib.geonames_get_n_cities()):
        c = lib.geonames_get_city(i)
        fields = [lib.geonames_city_get_name(c).decode(), lib.geonames_city_get_state(c).decode(),
                  lib.geonames_city_get_country_code(c).decode(), lib.geonames_city_get_timezone(c).decode(),
                  "%.5f" % lib.geonames_city_get_latitude(c), "%.5f" % lib.geonames_city_get_longitude(c)]
        lib.geonames_city_free(c)
        out.write("\t".join(f.replace("\t", " ").replace("\n", " ") for f in fields) + "\n")


def towns_in(language):
    env = dict(os.environ)
    env.pop("LANGUAGE", None)
    if language:
        env.update(LC_ALL=CARRIER_LOCALE, LANGUAGE=language)
    else:
        env.update(LC_ALL="C.UTF-8")
    text = subprocess.run([sys.executable, __file__, "--dump"], env=env, check=True,
                          capture_output=True, encoding="utf-8").stdout
    return [line.split("\t") for line in text.splitlines()]


def fold(name):
    """A name without its letters' marks, for telling spellings of one name apart."""
    special = {"ð": "d", "đ": "d", "þ": "th", "ø": "o", "æ": "ae", "œ": "oe", "ß": "ss", "ł": "l", "ı": "i"}
    name = "".join(special.get(ch, ch) for ch in name.casefold())
    return "".join(ch for ch in unicodedata.normalize("NFKD", name) if not unicodedata.combining(ch))


def country_languages():
    """The languages glibc has locales for in each country, in its order."""
    languages = {}
    for line in open(SUPPORTED, encoding="utf-8"):
        locale = line.split()[0].split(".")[0].split("@")[0]
        if "_" not in locale:
            continue
        language, country = locale.split("_", 1)
        if not os.path.exists(f"{LOCALE_DIR}/{language}/LC_MESSAGES/geonames.mo"):
            continue
        languages.setdefault(country, [])
        if language not in languages[country]:
            languages[country].append(language)
    return languages


def catalogue(domain, language="ru"):
    with open(f"{LOCALE_DIR}/{language}/LC_MESSAGES/{domain}.mo", "rb") as f:
        return gettext.GNUTranslations(f)


def country_rows():
    iso = json.load(open(ISO_JSON, encoding="utf-8"))["3166-1"]
    ru = catalogue("iso_3166-1")
    rows = []
    for c in iso:
        english = c.get("common_name") or c["name"]
        russian = ru.gettext(english)
        if russian == english:
            russian = ru.gettext(c["name"])
        rows.append((c["alpha_2"], english, russian))
    rows += EXTRA_COUNTRIES
    return sorted(rows)


def iso_region_names():
    """Russian names of ISO 3166-2 subdivisions by country and folded English name."""
    ru = catalogue("iso_3166-2")
    names = {}
    for s in json.load(open(ISO2_JSON, encoding="utf-8"))["3166-2"]:
        russian = ru.gettext(s["name"])
        if russian != s["name"]:
            names[(s["code"][:2], fold(s["name"]))] = russian
    return names


def main():
    if sys.argv[1:] == ["--dump"]:
        dump()
        return
    raw = towns_in(None)
    russian = towns_in("ru")
    wanted = country_languages()
    needed = sorted({lang for t in raw for lang in wanted.get(t[2], [])})
    local = {lang: [t[0] for t in towns_in(lang)] for lang in needed}
    region_ru = iso_region_names()

    regions, zones, lines = {}, {}, []
    for i, (name, state, code, zone, lat, lon) in enumerate(raw):
        # The English name is GeoNames' ASCII one where it has an English
        # form; the country's own spelling gives back the marks it dropped.
        english = name
        for lang in wanted.get(code, []):
            spelled = local[lang][i]
            if spelled != name and fold(spelled) == fold(name):
                english = spelled
                break
        ru_name = russian[i][0] if russian[i][0] != name else english
        ru_state = russian[i][1]
        if ru_state == state:
            ru_state = region_ru.get((code, fold(state)), state)
        region = regions.setdefault((code, state, ru_state), len(regions))
        zone_index = zones.setdefault(zone, len(zones))
        lines.append(f"T\t{lat}\t{lon}\t{code}\t{region}\t{zone_index}\t{english}\t{unless_same(ru_name, english)}\n")

    with open(os.path.join(HERE, "towns.tsv"), "w", encoding="utf-8", newline="\n") as out:
        out.write("# Towns: GeoNames (geonames.org, CC BY 4.0) as Debian's libgeonames0 "
                  f"{package_version('libgeonames0')} holds them; made by make-towns.py.\n")
        out.write("# Z zone | R country, English, Russian | T latitude, longitude, country, region, zone, English, Russian"
                  " (an empty Russian name is the English one)\n")
        for zone in zones:
            out.write(f"Z\t{zone}\n")
        for code, english, ru in regions:
            out.write(f"R\t{code}\t{english}\t{unless_same(ru, english)}\n")
        out.writelines(lines)

    with open(os.path.join(HERE, "countries.tsv"), "w", encoding="utf-8", newline="\n") as out:
        out.write("# Countries: Debian's iso-codes " f"{package_version('iso-codes')} (LGPL-2.1+); made by make-towns.py.\n")
        out.write("# C code, English, Russian\n")
        for code, english, ru in country_rows():
            out.write(f"C\t{code}\t{english}\t{ru}\n")


def unless_same(russian, english):
    return "" if russian == english else russian


def package_version(package):
    return subprocess.run(["dpkg-query", "-W", "-f=${Version}", package], check=True,
                          capture_output=True, encoding="utf-8").stdout


if __name__ == "__main__":
    main()
