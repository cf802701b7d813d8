# The same workload with Python's configparser: read the file, get every key,
# set 1,000 new keys, write the file back. Prints the best processor time of the runs in ms.
import configparser, os, shutil, sys, time

pristine, work, sections, keys, runs = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
secs = ["section%d" % s for s in range(sections)]
names = ["key%d" % k for k in range(keys)]
times = []
for _ in range(runs):
    shutil.copyfile(pristine, work)
    os.sync()
    t0 = time.process_time()
    cp = configparser.ConfigParser(interpolation=None)
    cp.read(work)
    total = 0
    for s in secs:
        sec = cp[s]
        for k in names:
            total += len(sec[k])
    for i in range(1000):
        cp.set(secs[(i * 7) % sections], "new%d" % i, "added value")
    with open(work, "w") as f:
        cp.write(f)
    times.append((time.process_time() - t0) * 1000)
print("%.2f" % min(times))
