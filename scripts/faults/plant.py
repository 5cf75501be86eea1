#!/usr/bin/env python3
"""Plants each fault of a list in turn in a checkout, rebuilds, runs tests, reports.
usage: plant.py CHECKOUT BUILD planted.py [only-ids...]
FAULTS.py defines FAULTS = [(id, room, file, old, new, tests_regex_or_None, why), ...]
tests_regex: extra ctest -R for e2e rows (run besides unit|window).
It may define RUNS = {file prefix: (build command, test command)} for files
another build runs the tests of; {build} in them stands for BUILD."""
import subprocess, sys, runpy, time, os
root, build, faults_file = sys.argv[1:4]
only = set(sys.argv[4:])
planted = runpy.run_path(faults_file)
faults = planted['FAULTS']
linux = (f'cmake --build {build} -j2',
         f"ctest --test-dir {build} -L 'unit|window' -E sources_are_formatted -j2 --timeout 120")
runs = {prefix: tuple(c.format(build=build) for c in cmds)
        for prefix, cmds in planted.get('RUNS', {}).items()}
def runFor(path):
    return next((cmds for prefix, cmds in runs.items() if path.startswith(prefix)), linux)
results = []
builds = {linux[0]}
def run(cmd, timeout):
    try:
        p = subprocess.run(cmd, cwd=root, shell=True, capture_output=True, text=True, timeout=timeout)
        return p.returncode, p.stdout + p.stderr
    except subprocess.TimeoutExpired as e:
        return 124, 'timeout'
for fid, room, path, old, new, extra, why in faults:
    if only and fid not in only:
        continue
    full = os.path.join(root, path)
    text = open(full).read()
    n = text.count(old)
    if n != 1:
        results.append((fid, room, 'BAD-PATTERN(%d)' % n, why)); print(fid, 'bad pattern', n, flush=True); continue
    open(full, 'w').write(text.replace(old, new))
    t0 = time.time()
    make, test = runFor(path)
    builds.add(make)
    try:
        rc, out = run(make, 900)
        if rc != 0:
            status = 'NO-BUILD'
        else:
            rc, out = run(test, 900)
            failed = [l.strip() for l in out.splitlines() if '(Failed)' in l or 'Timeout' in l or '(Subprocess aborted)' in l or '***Exception' in l or l.startswith('FAIL:')]
            if rc == 0 and extra:
                rc, out2 = run(f"ctest --test-dir {build} -R '{extra}' --timeout 400", 1200)
                failed += [l.strip() for l in out2.splitlines() if '(Failed)' in l or 'Timeout' in l]
            status = 'caught' if rc != 0 else 'MISSED'
            if failed: status += ' by ' + '; '.join(f.split(' - ')[-1] for f in failed[:3])
    finally:
        open(full, 'w').write(text)
    results.append((fid, room, status, why))
    print(f'{fid:5} {room:9} {status[:120]}  ({time.time()-t0:.0f}s) {why}', flush=True)
for make in builds:
    run(make, 900)
print('\nSUMMARY')
rooms = {}
for fid, room, status, why in results:
    if status.startswith(('BAD', 'NO-BUILD')): continue
    c, t = rooms.get(room, (0, 0)); rooms[room] = (c + status.startswith('caught'), t + 1)
for room, (c, t) in sorted(rooms.items()):
    print(f'{room:10} {c}/{t}')
tc = sum(c for c, t in rooms.values()); tt = sum(t for c, t in rooms.values())
print(f'overall {tc}/{tt} = {100*tc/max(tt,1):.0f}%')
for fid, room, status, why in results:
    if not status.startswith('caught'): print('NOT CAUGHT:', fid, room, status, why)
