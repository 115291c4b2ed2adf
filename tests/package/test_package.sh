#!/usr/bin/env bash
# test_package.sh BUILD_DIR DRIVER_PLUGIN
#
# Builds the Debian package from BUILD_DIR (already built: nothing is
# compiled again), installs it, and uses it as a receptionist would: a
# temporary account of the group rezydo starts the installed program on the
# offscreen platform, answers the first-start question with "Utwórz nową
# bazę", a reservation is made on the new database by the windowless desk
# tool, and the program ends with a backup into /var/lib/rezydo/Archiwum,
# which the account unpacks and reads. The package is then removed (the data
# stay) and purged. Runs as root, only where no installation of the program
# is present, and leaves the machine as it found it.
set -euo pipefail

build="$(cd "$1" && pwd)"
plugin="$2"
data=/var/lib/rezydo
settings_dir=/etc/xdg/Rezydo

skip() {
    echo "SKIPPED: $*"
    exit 77
}
fail() {
    echo "FAILED: $*" >&2
    for f in "${work:-}"/*/driver.log "${work:-}"/*/program.out; do
        [[ -f $f ]] && { echo "--- $f"; tail -20 "$f"; }
    done
    exit 1
}

[[ "${REZYDO_PACKAGE_TEST:-}" == 1 ]] ||
    skip "installs a package system-wide; scripts/test runs it (REZYDO_PACKAGE_TEST=1)"
[[ $(id -u) -eq 0 ]] || skip "needs root to install the package and make an account"

# One run at a time on a machine.
exec 9>/run/lock/rezydo-package-test.lock
flock 9

if dpkg-query -W -f='${Status}' rezydo 2>/dev/null | grep -q "installed"; then
    skip "the package rezydo is installed here; refusing to touch a real installation"
fi
getent group rezydo >/dev/null && skip "the group rezydo exists; refusing to touch a real installation"
[[ -e $data ]] && skip "$data exists; refusing to touch a real installation"
[[ -e $settings_dir ]] && skip "$settings_dir exists; refusing to touch a real installation"

work="$(mktemp -d /tmp/rezydo-package.XXXXXX)"
chmod 755 "$work"
user="rezydo-test-$$"
pid=""
cleanup() {
    set +e
    if [[ -n $pid ]]; then
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    fi
    dpkg --purge rezydo >/dev/null 2>&1
    id "$user" >/dev/null 2>&1 && userdel "$user"
    getent group rezydo >/dev/null && groupdel rezydo
    rm -rf "$data" "$settings_dir" "$work"
    rm -f /run/lock/rezydo-package-test.lock
}
trap cleanup EXIT

echo "== package"
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log") || {
    cat "$work/cpack.log"
    fail "cpack"
}
deb="$(ls "$work"/deb/rezydo_*.deb)"
dpkg-deb --field "$deb" Package Version Depends Recommends

echo "== install"
dpkg -i "$deb" || fail "dpkg -i (are the program's libraries installed?)"
for f in /usr/bin/rezydo /usr/bin/rezydo-newdb /usr/bin/rezydo-migrate /usr/bin/rezydo-workstation \
    /usr/share/applications/rezydo.desktop /usr/share/icons/hicolor/scalable/apps/rezydo.svg \
    /usr/share/icons/hicolor/48x48/apps/rezydo.png /usr/share/rezydo/podrecznik/index.html \
    /usr/share/doc/rezydo/copyright; do
    [[ -f $f ]] || fail "missing $f"
done
expect_mode() { # path owner:group mode
    local got
    got="$(stat -c '%U:%G %a' "$1")"
    [[ $got == "$2 $3" ]] || fail "$1 is $got, expected $2 $3"
}
expect_mode "$data/Baza" root:rezydo 2770
expect_mode "$data/Archiwum" root:rezydo 2770
expect_mode "$settings_dir" root:rezydo 2775
expect_mode "$settings_dir/Rezydo.ini" root:rezydo 664
grep -qx 'Rezydo\\KatalogBazy=/var/lib/rezydo/Baza' "$settings_dir/Rezydo.ini" ||
    fail "KatalogBazy not in $(cat "$settings_dir/Rezydo.ini")"
grep -qx 'Rezydo\\KatalogArchiwum=/var/lib/rezydo/Archiwum' "$settings_dir/Rezydo.ini" ||
    fail "KatalogArchiwum not in the settings"

echo "== the account $user of the group rezydo"
useradd -M -N -g users -G rezydo -d "$work/home" -s /usr/sbin/nologin "$user"
mkdir -p "$work/home" "$work/plugins/generic"
chown "$user" "$work/home"
chmod 700 "$work/home"
cp "$plugin" "$work/plugins/generic/"
chmod -R a+rX "$work/plugins"
as_user() {
    setpriv --reuid="$user" --regid=users --init-groups --reset-env \
        env -i HOME="$work/home" PATH=/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR="$work/home" "$@"
}

echo "== first start"
# start_program ACCOUNT HOME ANSWERS CLOSE_FILE: the installed program with the
# driver, in the background; $pid is the program itself.
start_program() {
    setpriv --reuid="$1" --regid="$(id -g "$1")" --init-groups --reset-env \
        env -i HOME="$2" PATH=/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR="$2" \
        QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$work/plugins" \
        QT_QPA_GENERIC_PLUGINS=rezydodriver REZYDO_DRIVER_LOG="$2/driver.log" \
        "REZYDO_DRIVER_ANSWERS=$3" REZYDO_DRIVER_CLOSE="$4" \
        /usr/bin/rezydo >"$2/program.out" 2>&1 &
    pid=$!
}
# wait_program HOME: the program's exit status once it has ended.
wait_program() {
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$pid" 2>/dev/null && fail "the program did not end"
    local status=0
    wait "$pid" || status=$?
    pid=""
    cat "$1/driver.log"
    [[ $status -eq 0 ]] || fail "the program ended with $status"
}

start_program "$user" "$work/home" \
    "Pierwsze uruchomienie=Utwórz nową bazę;Pierwsze kroki=OK;Tworzenie archiwum=Tak" \
    "$work/zamknij"
for _ in $(seq 300); do
    grep -q '^window|' "$work/home/driver.log" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
cat "$work/home/driver.log" 2>/dev/null || true
grep -q '^window|' "$work/home/driver.log" || fail "the main window never showed"
grep -q "^box|Pierwsze uruchomienie|W folderze '/var/lib/rezydo/Baza' nie ma bazy danych" \
    "$work/home/driver.log" || fail "no first-start question"
grep -q '^box|Pierwsze kroki|Baza danych jest pusta' "$work/home/driver.log" ||
    fail "no first-steps hint"
expect_mode "$data/Baza/Baza.mdb" "$user:rezydo" 660

echo "== a reservation from the desk tool"
as_user sqlite3 "$data/Baza/Baza.mdb" \
    "INSERT INTO Cennik (Typ, Cena1) VALUES ('STD', 1500000);
     INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ, Opis) VALUES ('1', 2, 'STD', 'pokój (2)');"
as_user rezydo-workstation "$data/Baza/Baza.mdb" --reserve-once --name Pakiet \
    --journal "$work/home/dziennik"
cat "$work/home/dziennik"
grep -q $'^reserve\t.*\tok' "$work/home/dziennik" || fail "the reservation was not saved"

echo "== exit with a backup"
touch "$work/zamknij"
wait_program "$work/home"
grep -q '^box|Tworzenie archiwum|Czy stworzyć kopię zapasową bazy danych?' "$work/home/driver.log" ||
    fail "no backup question"
grep -q "^dialog|Tworzenie kopii bazy danych|$data/Archiwum/Archiwum .*\.zip|" \
    "$work/home/driver.log" || fail "the backup was not offered in $data/Archiwum"
if grep -q '^unexpected|' "$work/home/driver.log" || grep -q '|brak' "$work/home/driver.log"; then
    fail "an unexpected box, or a window without the program's icon"
fi
archive="$(ls "$data"/Archiwum/*.zip)"
[[ $(stat -c %G "$archive") == rezydo ]] || fail "the archive is not the group's"
as_user unzip -q "$archive" -d "$work/home/rozpakowane"
reserved="$(as_user sqlite3 "$work/home/rozpakowane/Baza.mdb" 'SELECT Nazwa FROM Rez_hot')"
[[ $reserved == Pakiet-1 ]] || fail "the unpacked database holds '$reserved'"

echo "== an account outside the group is told it has no access"
mkdir -p "$work/nobody"
chown nobody "$work/nobody"
chmod 700 "$work/nobody"
touch "$work/nobody-zamknij"
start_program nobody "$work/nobody" \
    "Pierwsze uruchomienie=OK;Veltrano Rezydo=OK;Tworzenie archiwum=Nie" "$work/nobody-zamknij"
wait_program "$work/nobody"
grep -q "^box|Pierwsze uruchomienie|To konto nie ma dostępu do folderu bazy danych '$data/Baza'" \
    "$work/nobody/driver.log" || fail "an account outside the group was not told"
grep -q '^unexpected|' "$work/nobody/driver.log" && fail "an unexpected box"

echo "== remove: the data stay"
dpkg -r rezydo
[[ ! -e /usr/bin/rezydo ]] || fail "/usr/bin/rezydo left after removal"
[[ -f $data/Baza/Baza.mdb && -f $archive ]] || fail "removal took the data"

echo "== purge: it says what it leaves"
dpkg --purge rezydo | tee "$work/purge.out"
grep -q "dane hotelu zostają w $data" "$work/purge.out" || fail "purge did not say what it leaves"
[[ ! -e $settings_dir ]] || fail "purge left $settings_dir"
[[ -f $data/Baza/Baza.mdb ]] || fail "purge took the database"
echo "== passed"
